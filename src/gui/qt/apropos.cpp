#include "gui/qt/apropos.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "gui/qt/face_frames.h"
#include "window/apropos_logic.h"
#include "window/commands.h"

namespace {

// Design positions in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

QString texte(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QLabel* libelle(QWidget* parent, const char* nom, QRect place, const QFont& police) {
    auto* label = new QLabel(parent);
    label->setObjectName(nom);
    label->setGeometry(place);
    label->setFont(police);
    return label;
}

} // namespace

apropos::apropos(kesp::ProgramEnvironment& environment, kesp::ProgramLauncher& launcher,
                 kesp::MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), environment_(environment), launcher_(launcher), boxes_(boxes) {
    setObjectName("apropos");
    setFixedSize(4665 / 15, 1575 / 15);

    QFont police = font();
    police.setPointSizeF(8.25);
    QFont gras = police;
    gras.setBold(true);
    QFont lien("Arial");
    lien.setPointSizeF(8.25);
    lien.setBold(true);
    lien.setItalic(true);
    lien.setUnderline(true);

    Command1_ = new QPushButton("&OK", this);
    Command1_->setObjectName("Command1");
    Command1_->setGeometry(twips(3600, 1080, 975, 375));
    Command1_->setDefault(true);
    connect(Command1_, &QPushButton::clicked, this, &apropos::fin);

    Label1_ = libelle(this, "Label1", twips(0, 0, 4455, 195), gras);
    Picture1_ = libelle(this, "Picture1", twips(240, 240, 495, 495), police);
    Label6_ = libelle(this, "Label6", twips(720, 240, 3735, 195), police);
    Label5_ = libelle(this, "Label5", twips(840, 480, 3615, 195), police);
    Label2_ = libelle(this, "Label2", twips(1380, 720, 3240, 195), police);
    Label4_ = libelle(this, "Label4", twips(120, 960, 2355, 195), lien);
    Label3_ = libelle(this, "Label3", twips(120, 1200, 3375, 195), lien);
    Label4_->setText(texte(kesp::kAdresseCourriel));
    Label3_->setText(texte(kesp::kAdresseWeb));
    for (QLabel* l : {Label3_, Label4_}) {
        QPalette bleu = l->palette();
        bleu.setColor(QPalette::WindowText, QColor(0, 0, 255));
        l->setPalette(bleu);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setInterval(120);
    connect(Timer1_, &QTimer::timeout, this, &apropos::Timer1_Timer);
}

void apropos::Form_Load() {
    setWindowTitle(texte(kesp::kTitreApplication));
    montrerImage(1);
    numImage_ = 1;
    Label1_->setText(" " + texte(kesp::kTitreApplication));

    std::tm date{};
    Label6_->setText(environment_.lastModified(environment_.programFile(), date)
                         ? QString::fromStdString(kesp::LibelleDate(date))
                         : QString());
    Label5_->setText(QString::fromStdString(
        kesp::LibelleVersion(KESP_VERSION_MAJOR, KESP_VERSION_MINOR, KESP_VERSION_PATCH)));

    texteDefile_ = texte(kesp::kTexteDefile).toStdU32String();
    Label2_->setText(texte(kesp::kTexteDefile));
}

void apropos::showEvent(QShowEvent* event) {
    // A window restored by the desktop is not a new opening.
    if (!event->spontaneous()) Form_Load();
    Command1_->setFocus();
    Timer1_->start();
    QDialog::showEvent(event);
}

void apropos::hideEvent(QHideEvent* event) {
    Timer1_->stop();
    QDialog::hideEvent(event);
}

void apropos::fin() {
    done(QDialog::Accepted);
}

void apropos::reject() {
    fin();
}

void apropos::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        fin();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool apropos::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Label3_) {
            Label3_Click();
            return true;
        }
        if (watched == Label4_) {
            Label4_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void apropos::Timer1_Timer() {
    posDefile_ = kesp::PositionSuivante(posDefile_, texteDefile_.size());
    Label2_->setText(QString::fromStdU32String(kesp::TexteAPosition(texteDefile_, posDefile_)));
    numImage_ = kesp::ImageSuivante(numImage_);
    montrerImage(numImage_ + 1);
}

void apropos::montrerImage(int index) {
    Picture1_->setPixmap(kesp::ImageVisage(index));
    Picture1_->setProperty("image", index);
}

void apropos::Label3_Click() {
    ouvrirLien(std::string(kesp::kAdresseWeb));
}

void apropos::Label4_Click() {
    ouvrirLien(kesp::AdresseMail());
}

void apropos::ouvrirLien(const std::string& adresse) {
    kesp::OuvrirAvecLeBureau(adresse, "Aucune application ne peut ouvrir ce lien.",
                             "Problème Start Http", kesp::MessageIcon::Exclamation, launcher_,
                             boxes_);
}
