#pragma once

#include <QLineEdit>

// A single-line field whose undo history stays bounded: the line edit records
// every changed character, so once edits have changed more than a limit in all,
// the history starts afresh.
class FieldEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FieldEdit(QWidget *parent = nullptr);

private:
    void boundHistory(const QString &text);

    QString m_before;          // the text before the latest change
    qsizetype m_recorded = 0;  // characters changed since the history began
};
