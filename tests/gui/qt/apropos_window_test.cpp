// The About window offscreen, with a scripted environment and launcher.
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "gui/qt/apropos.h"
#include "gui/qt/face_frames.h"
#include "support/fake_desktop_services.h"
#include "window/apropos_logic.h"

namespace {

using kesp::testing::FakeEnvironment;
using kesp::testing::FakeLauncher;
using kesp::testing::RecordingBoxes;

class AproposTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::tm t{};
        t.tm_year = 105;
        t.tm_mon = 7;
        t.tm_mday = 1;
        t.tm_min = 15;
        t.tm_sec = 2;
        environment.date = t;
    }
    QLabel* label(const char* name) { return window.findChild<QLabel*>(name); }
    void open() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    int frame() { return label("Picture1")->property("image").toInt(); }

    FakeEnvironment environment;
    FakeLauncher launcher;
    RecordingBoxes boxes;
    apropos window{environment, launcher, boxes};
};

TEST_F(AproposTest, LoadFillsTheLabelsFromTheProgramFile) {
    open();
    EXPECT_EQ(window.objectName(), "apropos");
    EXPECT_EQ(window.windowTitle(), "Kesp 2005");
    EXPECT_EQ(label("Label1")->text(), " Kesp 2005");
    EXPECT_TRUE(label("Label1")->font().bold());
    EXPECT_EQ(environment.asked, std::vector<std::string>{"/opt/kesp/bin/kesp"});
    EXPECT_EQ(label("Label6")->text(), "1 Août 2005 00:15:02");
    EXPECT_EQ(label("Label5")->text(), "Version 2.0.5");
    EXPECT_EQ(label("Label2")->text().toStdString(), kesp::kTexteDefile);
    EXPECT_EQ(label("Label4")->text(), "kesp@example.org");
    EXPECT_EQ(label("Label3")->text(), "https://kesp.example.org");
    EXPECT_EQ(frame(), 1);
    EXPECT_EQ(window.NumImage(), 1);
    EXPECT_EQ(window.size(), QSize(311, 105));
    EXPECT_EQ(window.findChild<QPushButton*>("Command1")->text(), "&OK");
    EXPECT_FALSE(QFontInfo(label("Label1")->font()).family().isEmpty());

    QDir().mkpath(KESP_BINARY_DIR "/screenshots");
    window.Timer1_Timer();
    window.Timer1_Timer();
    EXPECT_TRUE(window.grab().save(KESP_BINARY_DIR "/screenshots/apropos.png"));
}

TEST_F(AproposTest, AnUnreadableProgramDateLeavesTheDateLineEmpty) {
    environment.date.reset();
    open();
    EXPECT_EQ(label("Label6")->text(), "");
    EXPECT_EQ(label("Label5")->text(), "Version 2.0.5");
}

TEST_F(AproposTest, LinksLookLikeLinks) {
    for (const char* name : {"Label3", "Label4"}) {
        QLabel* link = label(name);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << name;
        EXPECT_TRUE(link->font().bold() && link->font().italic() && link->font().underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
}

TEST_F(AproposTest, EachTickScrollsAndAnimatesOnA120msTimer) {
    open();
    auto* timer = window.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 120);
    EXPECT_TRUE(timer->isActive());

    const std::u32string texte =
        QString::fromStdString(std::string(kesp::kTexteDefile)).toStdU32String();
    window.Timer1_Timer();
    EXPECT_EQ(label("Label2")->text(),
              QString::fromStdU32String(texte.substr(0, texte.size() - 1)));
    EXPECT_EQ(frame(), 3);
    window.Timer1_Timer();
    EXPECT_EQ(label("Label2")->text(),
              QString::fromStdU32String(texte.substr(1, texte.size() - 2) + texte.substr(0, 1)));
    EXPECT_EQ(frame(), 4);
    window.Timer1_Timer();
    EXPECT_EQ(frame(), 1);
    window.Timer1_Timer();
    EXPECT_EQ(frame(), 2);

    // The real timer drives the same step.
    const int before = window.PosDefile();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.PosDefile() != before; }, 2000));
}

TEST_F(AproposTest, ReopeningReloadsEverythingButTheScrollPosition) {
    open();
    for (int tick = 0; tick < 5; ++tick)
        window.Timer1_Timer();
    window.fin();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.findChild<QTimer*>("Timer1")->isActive());
    const std::int16_t kept = window.PosDefile();
    EXPECT_EQ(kept, 5);

    open();
    EXPECT_EQ(window.PosDefile(), kept);
    EXPECT_EQ(frame(), 1);
    EXPECT_EQ(window.NumImage(), 1);
    EXPECT_EQ(label("Label2")->text().toStdString(), kesp::kTexteDefile);
    window.Timer1_Timer();
    EXPECT_EQ(window.PosDefile(), kept + 1);
    EXPECT_EQ(environment.asked.size(), 2u);
}

TEST_F(AproposTest, EscapeOrOkCloseItAndOtherKeysDoNothing) {
    open();
    auto* ok = window.findChild<QPushButton*>("Command1");
    EXPECT_TRUE(ok->hasFocus());
    QTest::keyClick(ok, Qt::Key_A);
    QTest::keyClick(ok, Qt::Key_F1);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(ok, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());

    // Modal, as Form1 shows it: OK ends the dialog's own loop.
    QTimer::singleShot(50, &window, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    window.exec();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(AproposTest, LinksStartXdgOpenWithTheAddress) {
    open();
    QTest::mouseClick(label("Label3"), Qt::LeftButton);
    QTest::mouseClick(label("Label4"), Qt::LeftButton);
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[0],
              (std::vector<std::string>{"xdg-open", "https://kesp.example.org"}));
    EXPECT_EQ(launcher.started[1],
              (std::vector<std::string>{"xdg-open", "mailto:kesp@example.org?subject=Kesp 2005"}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(AproposTest, WithoutXdgOpenTheDesktopOpensTheAddressSilently) {
    launcher.startAnswers = {{kesp::kErrorFileNotFound, "Fichier introuvable"},
                             {kesp::kErrorFileNotFound, "Fichier introuvable"}};
    window.Label3_Click();
    window.Label4_Click();
    EXPECT_EQ(launcher.desktopOpened,
              (std::vector<std::string>{"https://kesp.example.org",
                                        "mailto:kesp@example.org?subject=Kesp 2005"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AproposTest, ALinkNoApplicationTakesShowsTheStartHttpBoxInFrench) {
    open();
    launcher.startAnswers = {{5, "Impossible de démarrer xdg-open : Permission non accordée"}};
    window.Label4_Click();
    EXPECT_TRUE(launcher.desktopOpened.empty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Problème Start Http");
    EXPECT_EQ(boxes.shown[0].text, "Aucune application ne peut ouvrir ce lien.\r\n"
                                   "mailto:kesp@example.org?subject=Kesp 2005\r\n"
                                   "Impossible de démarrer xdg-open : Permission non accordée");
    EXPECT_EQ(boxes.shown[0].icon, kesp::MessageIcon::Exclamation);
    EXPECT_TRUE(window.isVisible());

    // xdg-open starts, then finds no browser: only its last line, its reason, is shown.
    window.Label3_Click();
    ASSERT_EQ(launcher.finishedCallbacks.size(), 2u);
    launcher.finishedCallbacks[1](3, "/usr/bin/xdg-open: 882: www-browser: not found\n"
                                     "/usr/bin/xdg-open: 882: links2: not found\n"
                                     "xdg-open: no method available for opening "
                                     "'https://kesp.example.org'\n");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "Aucune application ne peut ouvrir ce lien.\r\n"
                                   "https://kesp.example.org\r\n"
                                   "xdg-open: no method available for opening "
                                   "'https://kesp.example.org'");
}

bool hasColour(const QImage& image, QColor colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

TEST(AproposFrames, FourDistinctYellowFacesOnlyTheLaughingOnesWithARedMouth) {
    QDir().mkpath(KESP_BINARY_DIR "/screenshots");
    std::vector<QImage> images;
    for (int index = 1; index <= kesp::kNombreImages; ++index) {
        const QImage image = kesp::ImageVisage(index).toImage();
        EXPECT_EQ(image.size(), QSize(32, 32));
        EXPECT_EQ(image.pixelColor(16, 5), QColor(255, 255, 0)) << index;
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << index;
        EXPECT_EQ(hasColour(image, QColor(255, 0, 0)), index >= 3) << index;
        for (const QImage& earlier : images)
            EXPECT_NE(image, earlier) << index;
        images.push_back(image);
        image.scaled(128, 128).save(
            QString(KESP_BINARY_DIR "/screenshots/visage_%1.png").arg(index));
    }
}

} // namespace
