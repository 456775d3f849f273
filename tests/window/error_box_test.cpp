// The application-wide error box: caption, the message with its full stop,
// the decoding of 8-bit and UTF-8 messages, through the hook the tests use.
#include <gtest/gtest.h>

#include <stdexcept>

#include "WindowTestHelpers.h"
#include "app/window/ErrorBox.h"

TEST(ErrorBox, ApplicationErrorsShowTheMessageWithItsFullStopUnderTheTitle)
{
    struct TCase {
        const char* Message;
        QString Shown;
    };
    const TCase cases[] = {
        {"Can not open a docfile", "Can not open a docfile."},
        {"Konnte das Verzeichnis nicht erstellen!", "Konnte das Verzeichnis nicht erstellen!"},
        {"Cannot create file \"/a/\xc3\xa4.htm\"", "Cannot create file \"/a/ä.htm\""},
        {"Datei \xe4", "Datei ä."},
    };
    std::vector<TShownBox> boxes;
    SetErrorBoxHook([&](QWidget*, const QString& caption, const QString& text) { boxes.push_back({caption, text}); });
    for (const TCase& c : cases)
        HandleApplicationError(nullptr, std::runtime_error(c.Message));
    SetErrorBoxHook({});
    ASSERT_EQ(boxes.size(), std::size(cases));
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].Caption, QString("Quillon"));
        EXPECT_EQ(boxes[i].Text, cases[i].Shown) << cases[i].Message;
    }
}
