// The application-wide error box: the closing full stop, the decoding of
// exception texts, and the hook that stands in for the modal box.
#include <gtest/gtest.h>

#include <stdexcept>

#include "WindowTestHelpers.h"
#include "app/window/ErrorBox.h"

TEST(ErrorBox, FullStopFollowsCharactersAboveTheFullStop)
{
    struct TCase {
        QString Text, Shown;
    };
    const TCase cases[] = {
        {"Can not open a docfile", "Can not open a docfile."},
        {"Error 7", "Error 7."},
        {"Konnte das Verzeichnis nicht erstellen!", "Konnte das Verzeichnis nicht erstellen!"},
        {"Done.", "Done."},
        {"(a, b)", "(a, b)"},
        {"File \"x.xls\"", "File \"x.xls\""},
        {"ends in a slash /", "ends in a slash /."},
        {"Grüße", "Grüße."},
        {"", ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(WithClosingFullStop(c.Text), c.Shown) << c.Text.toStdString();
}

TEST(ErrorBox, ExceptionTextIsUtf8OrElseWindows1252)
{
    EXPECT_EQ(ExceptionText(std::runtime_error("Datei \xc3\xa4.xls")), QString("Datei ä.xls"));
    EXPECT_EQ(ExceptionText(std::runtime_error("Datei \xe4.xls")), QString("Datei ä.xls"));
}

TEST(ErrorBox, ApplicationErrorsGoToTheHookWithTheTitleAsCaption)
{
    std::vector<TShownBox> boxes;
    SetErrorBoxHook([&](QWidget*, const QString& caption, const QString& text) { boxes.push_back({caption, text}); });
    HandleApplicationError(nullptr, std::runtime_error("Bad record"));
    SetErrorBoxHook({});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, QString("Quillon"));
    EXPECT_EQ(boxes[0].Text, QString("Bad record."));
}
