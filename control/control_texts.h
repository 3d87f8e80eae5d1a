// The control's own texts: captions, tooltips, messages and the start-up
// texts. One place, used by the widget and the tests.
#pragma once

#include <QString>
#include <span>

namespace vrayu {

// Object name, caption (may be empty) and tooltip (may be empty) of a child.
struct ChildText {
    const char* name;
    const char* caption;
    const char* tooltip;
};
std::span<const ChildText> ChildTexts();
const ChildText& ChildTextOf(const char* name);

inline constexpr char kAppTitle[] = "Vrayu";
inline constexpr char kDownloadUrl[] = "https://vrayu.example.org/download/";
inline constexpr char kMakerContact[] = "vrayu@example.org";

// The sizes of the size list, its initial text and the font list's first items.
inline constexpr const char* kSizeItems[] = {"10", "12", "14", "16", "20", "24", "30", "36", "48", "60", "72"};
inline constexpr char kInitialSize[] = "16";
inline constexpr const char* kDesignFontItems[] = {"Vrayu", "abTelugu"};

QString MissingFontMessage();
// Said once when a listed Telugu font chosen in the font list is not installed.
QString FaceMissingMessage(const QString& face);
// The romanized welcome text (converted at start-up) for version a.b.c.
QString WelcomeText(int major, int minor, int revision);
// The romanized instructions put into the English pane.
QString InstructionsText();

inline constexpr char kColorQuestion[] = "Do you want to change text color also?";
inline constexpr char kColorTitle[] = "Text Color";
QString ColorPrompt();

inline constexpr char kAboutTitle[] = "About Vrayu";
QString AboutText();

// The page text that makes an import show the English pane only.
inline constexpr char kNotFoundMarker[] = "404 Not Found";
// Told when a page is refused for its size; the English pane stays as it was.
QString PageTooLargeMessage(qint64 maxBytes);

}  // namespace vrayu
