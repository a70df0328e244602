#pragma once

// The interface language. It is not chosen until the language dialog first
// shows; from then on it is Czech or English.
enum class Language { NotChosen, Czech, English };

Language language();
// The language dialog's choice; tests set the language the same way.
void setLanguage(Language language);
