// Form1 right after start-up: the commands, the panels, the slider, the paths, the layout.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTest>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <gtest/gtest.h>

#include "gui/qt/append_list_model.h"
#include "gui/qt/folder_tree.h"
#include "gui/qt/form1_harness.h"
#include "gui/qt/image_list.h"
#include "gui/qt/qt_translations.h"
#include "gui/qt/status_bar.h"

namespace kesp::test {
namespace {

TEST(Form1StartUp, CaptionPanelsAndSlider) {
    Harness h;
    Form1& form = h.window();
    EXPECT_EQ(form.windowTitle().toStdString(), "Kesp 2005 Version 2.0.5");
    EXPECT_EQ(form.TitreApplication(), "Kesp 2005 Version 2.0.5");

    auto* bar = h.child<StatusBar1>("StatusBar1");
    ASSERT_NE(bar, nullptr);
    for (int position = 1; position <= 3; ++position)
        EXPECT_EQ(bar->panelText(position), "");
    // CalculCluster ran for the start-up drive, "/" here (ext4: refused).
    EXPECT_EQ(bar->panelText(5), "ext4");
    EXPECT_EQ(bar->panelText(4), "1 Cluster = 4096 octets");
    EXPECT_FALSE(h.ok()->isEnabled());
    EXPECT_EQ(h.ok()->text(), "&Démarrer");

    EXPECT_EQ(h.child<QLabel>("Label1")->text(), "1 seconde");
    EXPECT_EQ(form.etat().PeriodeRafraichissement, 1000);
    EXPECT_TRUE(h.child<QCheckBox>("SousRep")->isChecked());
    EXPECT_EQ(form.etat().FormatNombre, "#,###,###,##0");
    EXPECT_EQ(form.etat().EnteteDetail,
              "    Nom du fichier      Octets perdus  Taille utile du fichier");
}

TEST(Form1StartUp, StartsOnTheRootVolumeAndItsRootFolder) {
    Harness h;
    Form1& form = h.window();
    EXPECT_EQ(form.driveText(), "/");
    EXPECT_EQ(form.folderPath(), "/");
    EXPECT_EQ(form.driveState().LecteurDemarrage, "/");
    Harness::settle();
    const auto lines = form.list1Model().lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "/ ");
    EXPECT_EQ(lines[1], "ext4 : type de partition inconnu");
    // This build reads no images (the harness gives none): no Ctrl+O to offer.
    EXPECT_EQ(lines[2], "Choisissez un volume FAT ou exFAT.");
    EXPECT_EQ(form.list1Model().rowCount(), 3);
}

TEST(Form1StartUp, QtDialogsSpeakFrenchInTheCLocale) {
    QTranslator translator;
    ASSERT_TRUE(installQtFrench(translator))
        << "qtbase_fr missing (scripts/deps.sh installs qt6-translations-l10n)";
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    QCoreApplication::removeTranslator(&translator);
    EXPECT_TRUE(texts.contains("Voir dans :")) << texts.join('|').toStdString();
}

TEST(Form1StartUp, ProgramFolderHelpAndResultPaths) {
    Harness h;
    h.environment.variables["temp"] = "/var/tmp/";
    h.environment.variables["TMPDIR"] = "/ignored";
    Form1& form = h.window();
    EXPECT_EQ(form.DossierProgramme(), "/opt/kesp/bin");
    EXPECT_EQ(form.CheminAide(), "/opt/kesp/bin/kespaide.html");
    // Plain concatenation: a trailing separator gives two in a row.
    EXPECT_EQ(form.DossierTemp(), "/var/tmp/");
    EXPECT_EQ(form.etat().CheminRes1, "/var/tmp//~qkres1.tmp");
    EXPECT_EQ(form.etat().CheminRes2, "/var/tmp//~qkres2.tmp");
}

TEST(Form1StartUp, ControlsAtTheirPlaces) {
    Harness h;
    Form1& form = h.window();
    form.show();
    Harness::settle();
    EXPECT_EQ(form.objectName(), "Form1");
    struct Place {
        const char* name;
        QRect rect; // client-area coordinates, the tool bar included
    };
    const Place places[] = {
        {"Dir1", {0, 32, 473, 66}},      {"Drive1", {480, 32, 309, 21}},
        {"sldFreq", {480, 58, 145, 19}}, {"Label1", {632, 64, 78, 13}},
        {"OK", {712, 64, 73, 25}},       {"SousRep", {488, 80, 177, 17}},
        {"List1", {0, 104, 793, 233}},   {"List3", {0, 336, 793, 182}},
    };
    QWidget* client = form.centralWidget();
    const int clientTop = client->geometry().top() - form.menuBar()->height();
    EXPECT_EQ(clientTop, 26) << "the tool bar is 26 pixels high";
    for (const Place& p : places) {
        auto* w = form.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry().translated(0, clientTop), p.rect) << p.name;
    }
    EXPECT_EQ(form.size(), QSize(794, 547 + form.menuBar()->height()));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed frame";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(h.child<StatusBar1>("StatusBar1")->height(), 33);

    auto* slider = h.child<QSlider>("sldFreq");
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 10);
    EXPECT_EQ(slider->singleStep(), 1);
    EXPECT_EQ(slider->pageStep(), 2);
    EXPECT_EQ(slider->tickInterval(), 1);
    EXPECT_EQ(slider->toolTip(), "Raffraichissement");
    EXPECT_TRUE(h.child<QListView>("List1")->uniformItemSizes());
    EXPECT_TRUE(h.child<QListView>("List3")->uniformItemSizes());
}

TEST(Form1StartUp, TabOrderFollowsTheOriginal) {
    Harness h;
    Form1& form = h.window();
    const char* order[] = {"List1", "List3", "Dir1", "Drive1", "OK", "SousRep", "sldFreq"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* from = form.findChild<QWidget*>(QString::fromLatin1(order[i]));
        QWidget* next = from->nextInFocusChain();
        // Skip the widgets a control holds inside itself (the list's viewport ...).
        while (next && next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->objectName().toStdString(), order[i + 1]) << "after " << order[i];
    }
}

TEST(Form1StartUp, FontsResolveToRealFamilies) {
    Harness h;
    // An empty family means no font was found: every glyph would be a blank box.
    for (const char* name : {"Dir1", "Drive1", "Label1", "OK", "SousRep", "List1", "List3"}) {
        auto* w = h.window().findChild<QWidget*>(QString::fromLatin1(name));
        const QFontInfo info(w->font());
        EXPECT_FALSE(info.family().isEmpty()) << name;
        EXPECT_GE(info.pointSizeF(), 8.0) << name;
        EXPECT_LE(info.pointSizeF(), 9.5) << name;
    }
    EXPECT_TRUE(QFontInfo(h.child<QWidget>("List1")->font()).fixedPitch());
    EXPECT_FALSE(QFontInfo(h.child<QWidget>("Dir1")->font()).fixedPitch());
    EXPECT_TRUE(h.child<QWidget>("OK")->font().bold());
    EXPECT_FALSE(h.child<QWidget>("StatusBar1")->font().bold());
}

TEST(Form1StartUp, ToolBarButtonsKeysImagesAndTips) {
    Harness h;
    auto* toolbar = h.child<QToolBar>("Toolbar1");
    const auto actions = toolbar->actions();
    ASSERT_EQ(actions.size(), 8);
    const char* keys[] = {"Enregistrer",   "Imprimer", "",     "Optimiser",
                          "PlanFormatage", "",         "Aide", "propos"};
    const char* tips[] = {"Enregistrer la liste de fichiers",
                          "Imprimer la liste de fichiers",
                          "",
                          "Optimisation des Clusters FAT ou FAT32",
                          "Plan de formatage : toutes les dispositions FAT",
                          "",
                          "Un peu d'aide ?",
                          "A propos ..."};
    for (int i = 0; i < 8; ++i) {
        QAction* a = actions[i];
        const bool separator = *keys[i] == '\0';
        EXPECT_EQ(a->isSeparator(), separator) << i + 1;
        if (separator) continue;
        EXPECT_EQ(a->data().toString().toStdString(), keys[i]);
        EXPECT_EQ(a->toolTip().toStdString(), tips[i]);
        EXPECT_EQ(a->isEnabled(), i >= 6) << keys[i] << ": only help and About before a scan";
        EXPECT_FALSE(a->icon().pixmap(16, 16).isNull()) << keys[i] << " has no image";
        auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(a));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->size(), QSize(23, 22));
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    }
    auto* images = h.window().findChild<ImageList1*>(QStringLiteral("ImageList1"));
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(images->count(), 5);
    for (int position = 1; position <= 5; ++position) {
        EXPECT_FALSE(images->image(position).pixmap(16, 16).isNull()) << position;
        EXPECT_FALSE(bundledImage(position).pixmap(16, 16).isNull()) << position;
    }
    // The last button shows image 4, the program's icon, from the bundle.
    EXPECT_EQ(actions[7]->icon().pixmap(16, 16).toImage(), programIcon().pixmap(16, 16).toImage());
}

// The most saturated colour a widget draws: grey for a disabled image, not for an enabled one.
int mostSaturated(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int most = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            most = std::max(most, QColor(image.pixel(x, y)).hsvSaturation());
    return most;
}

TEST(Form1StartUp, ThePlanButtonLooksDisabledUntilAScanHasGoneThrough) {
    Harness h;
    Form1& form = h.window();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QWidget* button = h.child<QToolBar>("Toolbar1")->widgetForAction(form.planAction());
    ASSERT_FALSE(form.planAction()->isEnabled());
    EXPECT_LT(mostSaturated(button), 60);
    h.scanFat();
    Harness::settle();
    ASSERT_TRUE(form.planAction()->isEnabled());
    EXPECT_GT(mostSaturated(button), 120);
}

TEST(Form1StartUp, MenusCaptionsAndShortcuts) {
    Harness h;
    Form1& form = h.window();
    const auto menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&Fichier");
    EXPECT_EQ(menus[1]->text(), "O&ptions");
    EXPECT_EQ(menus[2]->text(), "&?");
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        bool enabled; // before any scan
    };
    const Item items[] = {
        {"ouvrirImage", "&Ouvrir une image disque…", QKeySequence(QStringLiteral("Ctrl+O")), true},
        {"Enregistrer", "En&registrer sous", QKeySequence(QStringLiteral("Ctrl+R")), false},
        {"Imprimer", "&Imprimer", QKeySequence(QStringLiteral("Ctrl+I")), false},
        {"quitter", "&Quitter", {}, true},
        {"optimiser", "&Optimisation des Clusters FAT ou FAT32", {}, false},
        {"aide", "&Aide", QKeySequence(QStringLiteral("F1")), true},
        {"Apropo", "A &propos de KESP ...", {}, true},
    };
    for (const Item& item : items) {
        QAction* a = h.menuItem(item.name);
        ASSERT_NE(a, nullptr) << item.name;
        EXPECT_EQ(a->text().toStdString(), item.caption);
        EXPECT_EQ(a->shortcut(), item.shortcut) << item.name;
        EXPECT_EQ(a->isEnabled(), item.enabled) << item.name;
    }
    const auto fichier = menus[0]->menu()->actions();
    ASSERT_EQ(fichier.size(), 6);
    EXPECT_TRUE(fichier[1]->isSeparator());
    EXPECT_TRUE(fichier[4]->isSeparator());
    EXPECT_EQ(fichier[4]->objectName(), "sep");
    const auto quoi = menus[2]->menu()->actions();
    ASSERT_EQ(quoi.size(), 3);
    EXPECT_TRUE(quoi[1]->isSeparator());
}

TEST(Form1StartUp, StatusBarPanels) {
    Harness h;
    auto* bar = h.child<StatusBar1>("StatusBar1");
    const char* keys[] = {"pnlRép", "pnlFic", "pnlPerdu", "pnlCluster", "pnlFat"};
    for (int position = 1; position <= 5; ++position)
        EXPECT_EQ(StatusBar1::panelKey(position).toStdString(), keys[position - 1]);
    for (int position : {1, 2, 3}) {
        EXPECT_EQ(bar->panel(position)->minimumWidth(), 100);
        EXPECT_TRUE(bar->panel(position)->alignment() & Qt::AlignRight);
    }
    EXPECT_EQ(bar->panel(5)->width(), 60);
    EXPECT_GE(bar->panel(4)->minimumWidth(), 133);
    EXPECT_GE(bar->panel(6)->minimumWidth(), 47);
    EXPECT_GE(bar->panel(7)->minimumWidth(), 67);
    for (int position = 4; position <= 7; ++position)
        EXPECT_TRUE(bar->panel(position)->alignment() & Qt::AlignHCenter) << position;
    for (int position = 1; position <= 7; ++position)
        EXPECT_EQ(bar->panel(position)->frameShadow(), QFrame::Sunken) << position;
    EXPECT_EQ(bar->panelText(6), QTime::currentTime().toString(QStringLiteral("hh:mm")));
    EXPECT_FALSE(bar->panelText(7).isEmpty());
}

TEST(Form1StartUp, CounterPanelsWidenToTheirTextAndTheClockGivesWay) {
    Harness h;
    Form1& form = h.window();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* bar = h.child<StatusBar1>("StatusBar1");
    const int clockBefore = bar->panel(6)->width();
    const QString texts[] = {"2 420 000 répertoires", "12 345 678 fichiers", "99 999,9 Mo perdus"};
    for (int position : {1, 2, 3})
        bar->setPanelText(position, texts[position - 1]);
    QTest::qWait(50); // the layout runs from the event loop
    for (int position : {1, 2, 3}) {
        QLabel* panel = bar->panel(position);
        EXPECT_GE(panel->contentsRect().width(),
                  panel->fontMetrics().horizontalAdvance(texts[position - 1]))
            << position;
    }
    EXPECT_EQ(bar->width(), form.width()) << "the bar did not push the window wider";
    EXPECT_LT(bar->panel(6)->width(), clockBefore);
    EXPECT_EQ(bar->panel(5)->width(), 60);
}

} // namespace
} // namespace kesp::test
