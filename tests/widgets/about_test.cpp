#include "widgets/AboutFrm.h"
#include "widgets/LinkLabel.h"
#include "widgets/UrlOpener.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <vector>

using namespace tamisko;

namespace {

// Collects what the links would open instead of starting a browser.
class RecordingOpener
{
public:
    RecordingOpener()
        : previous_(tamisko::setUrlOpener([this](const QUrl& url) { opened.push_back(url); }))
    {}
    ~RecordingOpener() { tamisko::setUrlOpener(previous_); }
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;

    std::vector<QUrl> opened;

private:
    tamisko::UrlOpener previous_;
};

class AboutFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    AboutForm form;
};

TEST_F(AboutFormTest, EnterOnOpeningClosesWithOk)
{
    EXPECT_EQ(QApplication::focusWidget(), form.OKBtn);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(AboutFormTest, EscapeDoesNotClose)
{
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(AboutFormTest, OkIsTheOnlyTabStop)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.OKBtn);
}

TEST_F(AboutFormTest, RightClickOnWebLinkOpensIt)
{
    RecordingOpener opener;
    QTest::mouseClick(form.LinkLabel4, Qt::RightButton);
    QTest::mouseClick(form.LinkLabel2, Qt::RightButton);
    QTest::mouseClick(form.licenseLink, Qt::RightButton);
    ASSERT_EQ(opener.opened.size(), 3u);
    EXPECT_EQ(opener.opened[0], AboutForm::helpPageUrl());
    EXPECT_TRUE(opener.opened[0].isLocalFile());
    EXPECT_TRUE(opener.opened[0].path().endsWith(QStringLiteral("/Tamisko.html")));
    EXPECT_EQ(opener.opened[1], AboutForm::readmeUrl());
    EXPECT_EQ(form.LinkLabel2->text(), AboutForm::readmeUrl().fileName());
    EXPECT_EQ(opener.opened[2], AboutForm::licenseUrl());
}

TEST_F(AboutFormTest, NamesTheLicenceAndFindsTheDocumentsOfTheSourceTree)
{
    EXPECT_TRUE(form.licenseLink->text().contains(QStringLiteral("GNU GPL 3")));
    EXPECT_TRUE(form.licenseLink->showAsUrl());
    // A test program runs in the build tree, whose documents are those of the sources.
    for (const QUrl& url : {AboutForm::readmeUrl(), AboutForm::licenseUrl()}) {
        EXPECT_TRUE(QFileInfo::exists(url.toLocalFile())) << url.toString().toStdString();
    }
    QFile licence(AboutForm::licenseUrl().toLocalFile());
    ASSERT_TRUE(licence.open(QIODevice::ReadOnly));
    EXPECT_TRUE(licence.readLine().contains("GNU GENERAL PUBLIC LICENSE"));
}

TEST_F(AboutFormTest, ContactLabelFollowsTheBuildConfiguration)
{
    const QString address = QStringLiteral(TAMISKO_CONTACT_EMAIL);
    EXPECT_EQ(form.LinkLabel1->isVisible(), !address.isEmpty());
    EXPECT_TRUE(form.LinkLabel1->showAsEmailUrl());
}

TEST_F(AboutFormTest, TheAuthorIsTheTeamInTheFeminine)
{
    EXPECT_EQ(form.Label3->text(), QStringLiteral("από την"));
    EXPECT_EQ(form.lblName->text(), QStringLiteral("Ομάδα Tamisko"));
}

// Without an address the web link takes the e-mail's place and the notes follow it up.
TEST(AboutFormContact, NoAddressLeavesNoGap)
{
    AboutForm with(nullptr, QStringLiteral("someone@example.org"));
    AboutForm without(nullptr, QString());
    with.show();
    without.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&without));
    // Tops in the window's coordinates, whichever panel holds the widget.
    const auto top = [](const QWidget* widget) {
        return widget->mapTo(widget->window(), QPoint()).y();
    };
    EXPECT_TRUE(with.LinkLabel1->isVisible());
    EXPECT_EQ(with.LinkLabel1->text(), QStringLiteral("someone@example.org"));
    EXPECT_EQ(top(with.LinkLabel4), 81);

    EXPECT_FALSE(without.LinkLabel1->isVisible());
    EXPECT_EQ(top(without.LinkLabel4), top(with.LinkLabel1));
    const int row = top(with.LinkLabel4) - top(with.LinkLabel1);
    EXPECT_EQ(top(without.licenseLink), top(with.licenseLink) - row);
    EXPECT_EQ(top(without.Label1), top(with.Label1) - row);
    EXPECT_EQ(top(without.LinkLabel2), top(with.LinkLabel2) - row);
    EXPECT_EQ(top(without.aboutlabel), top(with.aboutlabel) - row);
    // The right-hand side and the button stay where they are.
    EXPECT_EQ(without.Image->geometry(), with.Image->geometry());
    EXPECT_EQ(without.OKBtn->geometry(), with.OKBtn->geometry());
}

TEST_F(AboutFormTest, PlainLabelsOpenNothing)
{
    RecordingOpener opener;
    QTest::mouseClick(form.LinkLabel3, Qt::LeftButton);
    QTest::mouseClick(form.lblName, Qt::LeftButton);
    EXPECT_TRUE(opener.opened.empty());
}

// Bounding box of the pixels of one exact colour.
QRect extentOf(const QImage& image, QRgb colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

TEST_F(AboutFormTest, TitleIsEngravedLightBelowRightDarkAboveLeft)
{
    LinkLabel* title = form.LinkLabel3;
    ASSERT_EQ(title->textStyle(), LinkLabel::tsRecessed);
    // Without antialiasing every pixel is exactly one of the drawing colours.
    QFont font = title->font();
    font.setStyleStrategy(QFont::NoAntialias);
    title->setFont(font);
    const QImage image = title->grab().toImage();

    const QPalette& pal = title->palette();
    const QRect face = extentOf(image, pal.color(QPalette::WindowText).rgb());
    const QRect light = extentOf(image, pal.color(QPalette::Light).rgb());
    const QRect dark = extentOf(image, pal.color(QPalette::Dark).rgb());
    ASSERT_EQ(pal.color(QPalette::WindowText), QColor(0, 128, 0));
    ASSERT_FALSE(face.isEmpty());
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    // The text must fit its area, or the comparison below would see clipped edges.
    ASSERT_GT(face.left(), 0);
    ASSERT_LT(face.right(), image.width() - 1);

    EXPECT_EQ(light.right(), face.right() + 1);
    EXPECT_EQ(light.bottom(), face.bottom() + 1);
    EXPECT_EQ(dark.left(), face.left() - 1);
    EXPECT_EQ(dark.top(), face.top() - 1);
    // Outside the text the title is opaque, in the window's face colour.
    EXPECT_EQ(image.pixelColor(0, 0), pal.color(QPalette::Window));
}

class LinkLabelTest : public ::testing::Test
{
protected:
    LinkLabel label{QStringLiteral("someone@example.org")};
};

TEST_F(LinkLabelTest, StartsAsRaisedArialPlainLabel)
{
    EXPECT_EQ(label.textStyle(), LinkLabel::tsRaised);
    EXPECT_EQ(label.font().family(), QStringLiteral("Arial"));
    EXPECT_FALSE(label.showAsUrl());
    EXPECT_TRUE(label.target().isEmpty());
}

TEST_F(LinkLabelTest, LinkLookIsRemovedAgainWithThePreviousColour)
{
    QPalette pal = label.palette();
    pal.setColor(QPalette::WindowText, Qt::darkMagenta);
    label.setPalette(pal);

    label.setShowAsUrl(true);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);

    label.setShowAsEmailUrl(true); // switches the web link off
    EXPECT_FALSE(label.showAsUrl());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::blue));

    label.setShowAsEmailUrl(false);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::darkMagenta));
    EXPECT_FALSE(label.font().underline());
    EXPECT_EQ(label.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LinkLabelTest, AtMostOneModeIsOn)
{
    label.setShowAsUrl(true);
    label.setShowAsDate(true);
    EXPECT_FALSE(label.showAsUrl());
    EXPECT_TRUE(label.showAsDate());
    EXPECT_EQ(label.palette().color(QPalette::WindowText),
              QLabel().palette().color(QPalette::WindowText));
    label.setShowAsDateTime(true);
    EXPECT_FALSE(label.showAsDate());
    EXPECT_TRUE(label.showAsDateTime());
}

TEST_F(LinkLabelTest, EveryMouseButtonOpensTheTarget)
{
    RecordingOpener opener;
    label.setShowAsEmailUrl(true);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(&label, button);
    label.setShowAsUrl(true);
    label.setText(QStringLiteral("https://example.org/tamisko"));
    QTest::mouseClick(&label, Qt::LeftButton);

    const QUrl mail(QStringLiteral("mailto:someone@example.org"));
    ASSERT_EQ(opener.opened.size(), 4u);
    EXPECT_EQ(opener.opened[0], mail);
    EXPECT_EQ(opener.opened[1], mail);
    EXPECT_EQ(opener.opened[2], mail);
    EXPECT_EQ(opener.opened[3], QUrl(QStringLiteral("https://example.org/tamisko")));
}

} // namespace
