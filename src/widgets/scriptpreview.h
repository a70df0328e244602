#pragma once

#include <QPlainTextEdit>

// The script preview: shows a script whose lines are separated by CR LF, one
// block per line. It stays editable, but refuses a paste longer than any script
// line could be, as the next script it is given replaces what was typed anyway.
class ScriptPreview : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

    // Rewrites only the stretch that differs from what the preview holds, so the
    // caret, the scroll position and the layout of the other lines stay.
    void showScript(const QString &script);

    // The text with its line breaks as CR LF.
    QString script() const;

protected:
    void insertFromMimeData(const QMimeData *source) override;

private:
    void wrapFor(QStringView script);
};
