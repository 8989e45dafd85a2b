// Form1's controls, tool bar and menus, at the places of the program's own layout (pixels at 15
// twips to the pixel; y counts from the top of the client area, tool bar included).
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include "mainwindow/append_list_model.h"
#include "mainwindow/drive_list.h"
#include "mainwindow/folder_tree.h"
#include "mainwindow/form1.h"
#include "mainwindow/image_list.h"
#include "mainwindow/status_bar.h"
#include "scan/result_lines.h"

namespace kesp {

namespace {

constexpr int kClientWidth = 794;
constexpr int kClientHeight = 547;
constexpr int kToolBarHeight = 26;
constexpr int kStatusBarHeight = 33;

// "MS Sans Serif 8.25": the desktop's sans-serif at the same size.
QFont sansFont(bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

// "Fixedsys 9": the system's fixed-pitch font.
QFont fixedFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

void whiteBackground(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::white);
    widget->setPalette(palette);
}

template <typename W> W* place(W* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y - kToolBarHeight, w, h);
    return widget;
}

QListView* resultList(QWidget* parent, AppendListModel* model) {
    auto* list = new QListView(parent);
    list->setModel(model);
    // Every row has the same height: the view never measures the lines one by one.
    list->setUniformItemSizes(true);
    list->setFont(fixedFont());
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    whiteBackground(list);
    return list;
}

} // namespace

void Form1::createControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(programIcon());
    // A fixed dialog-style frame: no resizing, no minimise or maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight - kToolBarHeight - kStatusBarHeight);
    setCentralWidget(client);

    dir1_ = place(new FolderTree(client), "Dir1", 0, 32, 473, 66);
    dir1_->setFont(sansFont(true));
    whiteBackground(dir1_);

    drive1_ = place(new DriveList(client), "Drive1", 480, 32, 309, 21);
    drive1_->setFont(sansFont(true));
    whiteBackground(drive1_);

    sldFreq_ = place(new QSlider(Qt::Horizontal, client), "sldFreq", 480, 58, 145, 19);
    sldFreq_->setRange(1, 10);
    sldFreq_->setSingleStep(1);
    sldFreq_->setPageStep(2);
    sldFreq_->setTickInterval(1);
    sldFreq_->setTickPosition(QSlider::TicksBelow);
    sldFreq_->setValue(1);
    sldFreq_->setToolTip(QStringLiteral("Raffraichissement"));

    // 78 wide where the layout table has 66: "10 secondes" in the bold sans-serif here needs 78,
    // and the label then still ends before OK.
    label1_ = place(new QLabel(QStringLiteral("2 secondes"), client), "Label1", 632, 64, 78, 13);
    label1_->setFont(sansFont(true));

    const QString start = QString::fromUtf8(kCaptionStart.data(), qsizetype(kCaptionStart.size()));
    ok_ = place(new QPushButton(start, client), "OK", 712, 64, 73, 25);
    ok_->setFont(sansFont(true));

    sousRep_ = place(new QCheckBox(QStringLiteral("Sous-Répertoires"), client), "SousRep", 488, 80,
                     177, 17);
    sousRep_->setFont(sansFont(true));
    sousRep_->setChecked(true);

    list1Model_ = new AppendListModel(this);
    list1Model_->setObjectName(QStringLiteral("List1Model"));
    list3Model_ = new AppendListModel(this);
    list3Model_->setObjectName(QStringLiteral("List3Model"));
    // List3 reaches 4 pixels under the status bar, as the layout table has it.
    list1_ = place(resultList(client, list1Model_), "List1", 0, 104, 793, 233);
    list3_ = place(resultList(client, list3Model_), "List3", 0, 336, 793, 182);

    statusBar1_ = new StatusBar1(this);
    statusBar1_->setFont(sansFont(false));
    statusBar1_->setFixedHeight(kStatusBarHeight);
    setStatusBar(statusBar1_);

    images_ = new ImageList1(this);
    createToolBar();
    createMenus();

    // The focus order of the layout table; the status bar, the tool bar and the label take no
    // focus.
    setTabOrder(list1_, list3_);
    setTabOrder(list3_, dir1_);
    setTabOrder(dir1_, drive1_);
    setTabOrder(drive1_, ok_);
    setTabOrder(ok_, sousRep_);
    setTabOrder(sousRep_, sldFreq_);

    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
}

void Form1::createToolBar() {
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar_->setFixedHeight(kToolBarHeight);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolbar_);

    struct Button {
        const char* key; // empty: a separator
        int image;
        const char* text;
        const char* tip;
    };
    static const Button buttons[7] = {
        {"Enregistrer", 1, "Enregistrer", "Enregistrer la liste de fichiers"},
        {"Imprimer", 2, "Imprimer", "Imprimer la liste de fichiers"},
        {"", 0, "", ""},
        {"Optimiser", 5, "Optimiser", "Optimisation des Clusters FAT ou FAT32"},
        {"", 0, "", ""},
        {"Aide", 3, "Aide", "Un peu d'aide ?"},
        {"propos", 4, "A propos de ...", "A propos ..."},
    };
    for (const Button& b : buttons) {
        if (*b.key == '\0') {
            toolButtons_.push_back(toolbar_->addSeparator());
            continue;
        }
        QAction* action = toolbar_->addAction(images_->image(b.image), QString::fromUtf8(b.text));
        action->setData(QString::fromUtf8(b.key));
        action->setToolTip(QString::fromUtf8(b.tip));
        toolbar_->widgetForAction(action)->setFixedSize(23, 22);
        toolButtons_.push_back(action);
    }
    // Inserted after "Optimiser" on screen, it stays out of the numbered positions the run enables.
    planButton_ = new QAction(planImage(), QStringLiteral("Plan de formatage"), toolbar_);
    planButton_->setObjectName(QStringLiteral("planFormatageButton"));
    planButton_->setData(QStringLiteral("PlanFormatage"));
    planButton_->setToolTip(QStringLiteral("Plan de formatage : toutes les dispositions FAT"));
    toolbar_->insertAction(toolButtons_[4], planButton_);
    toolbar_->widgetForAction(planButton_)->setFixedSize(23, 22);
    connect(toolbar_, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toString()); });
}

void Form1::createMenus() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut, void (Form1::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier"));
    item(fichier, "ouvrirImage", QStringLiteral("&Ouvrir une image disque…"),
         QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::OuvrirImage_Click);
    separator(fichier, "sepImage");
    menuEnregistrer_ = item(fichier, "Enregistrer", QStringLiteral("En&registrer sous"),
                            QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::Enregistrer_Click);
    menuImprimer_ = item(fichier, "Imprimer", QStringLiteral("&Imprimer"),
                         QKeySequence(Qt::CTRL | Qt::Key_I), &Form1::Imprimer_Click);
    separator(fichier, "sep");
    item(fichier, "quitter", QStringLiteral("&Quitter"), {}, &Form1::FinProgramme);

    QMenu* options = menuBar()->addMenu(QStringLiteral("O&ptions"));
    options->setObjectName(QStringLiteral("options"));
    menuOptimiser_ =
        item(options, "optimiser", QStringLiteral("&Optimisation des Clusters FAT ou FAT32"), {},
             &Form1::optimiser_Click);
    menuPlan_ = item(options, "planFormatage", QStringLiteral("&Plan de formatage…"), {},
                     &Form1::planFormatage_Click);

    QMenu* quoi = menuBar()->addMenu(QStringLiteral("&?"));
    quoi->setObjectName(QStringLiteral("quoi"));
    item(quoi, "aide", QStringLiteral("&Aide"), QKeySequence(Qt::Key_F1), &Form1::aide_Click);
    separator(quoi, "sep2");
    item(quoi, "Apropo", QStringLiteral("A &propos de KESP ..."), {}, &Form1::Apropo_Click);
}

} // namespace kesp
