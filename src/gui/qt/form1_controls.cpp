// Form1's controls, tool bar and menus, built from the window's description (form1_layout.h).
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

#include "gui/qt/append_list_model.h"
#include "gui/qt/drive_list.h"
#include "gui/qt/folder_tree.h"
#include "gui/qt/form1.h"
#include "gui/qt/image_list.h"
#include "gui/qt/status_bar.h"
#include "window/form1_layout.h"

namespace kesp {

namespace {

using form1::Control;

// "MS Sans Serif 8.25": the desktop's sans-serif at the same size; "Fixedsys 9": the system's
// fixed-pitch font.
QFont fontOf(form1::Font which) {
    if (which == form1::Font::Fixed) {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
        return font;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8.25);
    font.setBold(which == form1::Font::SansBold);
    return font;
}

void whiteBackground(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::white);
    widget->setPalette(palette);
}

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The control's name, place, font and tip from the description.
template <typename W> W* place(W* widget, Control control) {
    const form1::ControlLayout& layout = form1::layoutOf(control);
    widget->setObjectName(QString::fromLatin1(layout.name));
    widget->setGeometry(layout.place.x, layout.place.y - form1::kToolBarHeight, layout.place.width,
                        layout.place.height);
    widget->setFont(fontOf(layout.font));
    if (*layout.tip != '\0') widget->setToolTip(text(layout.tip));
    return widget;
}

QString captionOf(Control control) {
    return text(form1::layoutOf(control).caption);
}

QListView* resultList(QWidget* parent, AppendListModel* model) {
    auto* list = new QListView(parent);
    list->setModel(model);
    // Every row has the same height: the view never measures the lines one by one.
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    whiteBackground(list);
    return list;
}

QKeySequence keysOf(const form1::Shortcut& shortcut) {
    if (shortcut.function != 0) return QKeySequence(Qt::Key(Qt::Key_F1 + shortcut.function - 1));
    if (shortcut.letter == 0) return {};
    const auto key = Qt::Key(Qt::Key_A + (shortcut.letter - 'A'));
    return shortcut.control ? QKeySequence(Qt::CTRL | key) : QKeySequence(key);
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
    client->setFixedSize(form1::kClientWidth,
                         form1::kClientHeight - form1::kToolBarHeight - form1::kStatusBarHeight);
    setCentralWidget(client);

    // In the description's order, which Qt stacks too: List3 above List1.
    dir1_ = place(new FolderTree(client), Control::Dir1);
    whiteBackground(dir1_);

    drive1_ = place(new DriveList(client), Control::Drive1);
    whiteBackground(drive1_);

    sldFreq_ = place(new QSlider(Qt::Horizontal, client), Control::sldFreq);
    sldFreq_->setRange(form1::kSldFreqMinimum, form1::kSldFreqMaximum);
    sldFreq_->setSingleStep(1);
    sldFreq_->setPageStep(form1::kSldFreqPageStep);
    sldFreq_->setTickInterval(1);
    sldFreq_->setTickPosition(QSlider::TicksBelow);
    sldFreq_->setValue(form1::kSldFreqMinimum);

    label1_ = place(new QLabel(captionOf(Control::Label1), client), Control::Label1);
    ok_ = place(new QPushButton(captionOf(Control::OK), client), Control::OK);
    sousRep_ = place(new QCheckBox(captionOf(Control::SousRep), client), Control::SousRep);
    sousRep_->setChecked(true);

    list1Model_ = new AppendListModel(this);
    list1Model_->setObjectName(QStringLiteral("List1Model"));
    list3Model_ = new AppendListModel(this);
    list3Model_->setObjectName(QStringLiteral("List3Model"));
    list1_ = place(resultList(client, list1Model_), Control::List1);
    list3_ = place(resultList(client, list3Model_), Control::List3);

    statusBar1_ = new StatusBar1(this);
    statusBar1_->setFont(fontOf(form1::Font::Sans));
    statusBar1_->setFixedHeight(form1::kStatusBarHeight);
    setStatusBar(statusBar1_);

    images_ = new ImageList1(this);
    createToolBar();
    createMenus();

    const auto widget = [this](Control control) -> QWidget* {
        switch (control) {
        case Control::Dir1:
            return dir1_;
        case Control::Drive1:
            return drive1_;
        case Control::sldFreq:
            return sldFreq_;
        case Control::Label1:
            return label1_;
        case Control::OK:
            return ok_;
        case Control::SousRep:
            return sousRep_;
        case Control::List1:
            return list1_;
        case Control::List3:
            break;
        }
        return list3_;
    };
    for (std::size_t i = 1; i < std::size(form1::kFocusOrder); ++i)
        setTabOrder(widget(form1::kFocusOrder[i - 1]), widget(form1::kFocusOrder[i]));

    setFixedSize(form1::kClientWidth, menuBar()->sizeHint().height() + form1::kClientHeight);
}

void Form1::createToolBar() {
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar_->setFixedHeight(form1::kToolBarHeight);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolbar_);

    const auto icon = [this](form1::ToolImage image) {
        switch (image) {
        case form1::ToolImage::Floppy:
            return images_->image(1);
        case form1::ToolImage::Printer:
            return images_->image(2);
        case form1::ToolImage::Question:
            return images_->image(3);
        case form1::ToolImage::Program:
            return images_->image(4);
        case form1::ToolImage::Spanner:
            return images_->image(5);
        case form1::ToolImage::Plan:
            break;
        }
        return planImage();
    };
    for (const form1::ToolButton& b : form1::kToolButtons) {
        if (!b.command) {
            toolButtons_.push_back(toolbar_->addSeparator());
            continue;
        }
        QAction* action = toolbar_->addAction(icon(b.image), text(b.text));
        action->setData(text(b.key));
        action->setToolTip(text(b.tip));
        toolbar_->widgetForAction(action)->setFixedSize(form1::kToolButtonWidth,
                                                        form1::kToolButtonHeight);
        // The plan's button stays out of the numbered positions the run enables.
        if (b.position == 0) {
            action->setObjectName(QStringLiteral("planFormatageButton"));
            planButton_ = action;
            continue;
        }
        toolButtons_.push_back(action);
    }
    connect(toolbar_, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toString()); });
}

void Form1::createMenus() {
    for (const form1::Menu& menu : form1::kMenus) {
        QMenu* qmenu = menuBar()->addMenu(text(menu.caption));
        qmenu->setObjectName(QString::fromLatin1(menu.name));
        for (const form1::MenuEntry& entry : menu.entries) {
            if (!entry.command) {
                qmenu->addSeparator()->setObjectName(QString::fromLatin1(entry.name));
                continue;
            }
            QAction* action = qmenu->addAction(text(entry.caption));
            action->setObjectName(QString::fromLatin1(entry.name));
            action->setShortcut(keysOf(entry.shortcut));
            const form1::Command command = *entry.command;
            connect(action, &QAction::triggered, this,
                    [this, command] { controller_.run(command); });
            menuItems_[static_cast<std::size_t>(command)] = action;
        }
    }
}

} // namespace kesp
