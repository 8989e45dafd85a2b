// Form1's windows beside it (Opti, the plan, About), the tool-bar keys and the close button.
#include <QCloseEvent>
#include <QDialog>

#include "gui/qt/apropos.h"
#include "gui/qt/form1.h"
#include "gui/qt/opti_window.h"
#include "gui/qt/plan_window.h"

namespace kesp {

void Form1::Toolbar1_ButtonClick(const QString& key) {
    controller_.Toolbar1_ButtonClick(key.toStdString());
}

void Form1::setPlanEnabled(bool enabled) {
    planButton_->setEnabled(enabled);
    menuItem(form1::Command::PlanFormatage)->setEnabled(enabled);
}

void Form1::showPlan(plan::PlanWindowModel model) {
    if (!plan_) {
        plan_ = new PlanWindow(std::move(model), [this](const std::vector<std::string>& lines) {
            controller_.printPlan(lines);
        });
        plan_->setAttribute(Qt::WA_DeleteOnClose);
        plan_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    plan_->show();
    plan_->raise();
    plan_->activateWindow();
}

void Form1::closePlan() {
    if (plan_) plan_->close();
}

PlanWindow* Form1::planWindow() const {
    return plan_;
}

void Form1::showOpti(const TableOpti& table, const std::string& title) {
    if (!opti_) {
        // Without a parent: a window of its own beside Form1, modeless.
        opti_ = new Opti(table, title);
        opti_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    opti_->show();
    opti_->raise();
    opti_->activateWindow();
}

void Form1::showAbout() {
    if (!apropos_) apropos_ = std::make_unique<apropos>(environment_, launcher_, boxes_);
    apropos_->exec();
}

void Form1::closeEvent(QCloseEvent* event) {
    FinProgramme();
    event->accept();
}

} // namespace kesp
