#pragma once

#include "platform/Colours.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {
class AbstractKnowledgeBase;
}

// The application's shared values that the model and the networks read, and the clean-up
// routines for the texts of compound-file streams. They live for the whole run, on the
// user-interface thread.
namespace basGlobal {

// The per-user settings the model and the drawing read at each use; start-up loads them
// and the options dialog replaces them. The defaults are the values when a setting is absent.
struct UserSettings {
    bool AutoAnswer = false;
    bool ShowAnswer = true;
    qint32 BackColour = platform::colours::ButtonFace;
    qint32 NodeColour = platform::colours::ButtonFace;
    qint32 HighlightColour = platform::colours::ButtonShadow; // the two edge colours start crossed over
    qint32 ShadowColour = platform::colours::ButtonHighlight;
    qint32 PositiveColour = platform::colours::rgb(0, 255, 0);
    qint32 NegativeColour = platform::colours::rgb(255, 0, 0);
    qint32 NeutralColour = platform::colours::rgb(255, 255, 0);
};

inline UserSettings Settings;

// Program-wide default font name; start-up sets it before any model object is made.
inline QString DefaultFontName = QStringLiteral("MS Sans Serif");

// 1 while the main window is loaded, 0 otherwise.
inline qint16 ApplicationMode = 0;

// The direction in which the layers of a network are laid out, 0 to 3; 0 (left to right)
// for the whole run.
inline qint16 LayoutMode = 0;

// The text typed at the last password prompt.
inline QString EnteredPassword;

// Dialogs right-align their text boxes while it is true.
inline bool AlignRight = false;

// The open document's knowledge-base object; null when none is open.
inline std::shared_ptr<kelvane::AbstractKnowledgeBase> CurrentKnowledgeBase;

// Raised by the diagram while a narrator button's own focus event selects its node, so
// that selecting the node does not move the focus back to the button.
inline bool NarratorSelecting = false;

// Without the first four characters (a type and length header) when the first pair of NUL
// characters starts at the fourth character or later; then without any NUL character.
QString StripStreamHeader(const QString& text);

// A wide stream read as bytes: drops a four-character length prefix, keeps every second
// character from the third on, and cuts before the first NUL.
QString WideStreamToText(const QString& text);

// The text up to, not including, the first NUL character.
QString TrimAtNull(const QString& text);

} // namespace basGlobal
