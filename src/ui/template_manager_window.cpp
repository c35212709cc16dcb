#include "ui/template_manager_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"

namespace kestrel::ui {

TemplateManagerWindow::TemplateManagerWindow(app::Workspace& workspace,
                                             settings::SettingsStore& store,
                                             UseTemplate useTemplate, QWidget* parent)
    : QDialog(parent),
      store_(store),
      useTemplate_(std::move(useTemplate)),
      model_([&workspace](int number, const std::string& name) {
          workspace.SaveTemplate(number, name);
      }) {
    setObjectName(QStringLiteral("frmTemplates"));
    setWindowTitle(Tr("Template Manager"));
    setWindowModality(Qt::ApplicationModal);

    fmeTemplates_ = Named(new QGroupBox(this), "fmeTemplates");
    lstTemplates_ = Named(new QListWidget(fmeTemplates_), "lstTemplates");
    lstTemplates_->setAccessibleName(Tr("Templates"));
    lstTemplates_->setMinimumSize(260, 220);
    txtTemplate_ = Named(new QLineEdit(fmeTemplates_), "txtTemplate");
    auto* name = new QHBoxLayout;
    name->addWidget(FieldLabel(Tr("&Name:"), txtTemplate_, fmeTemplates_));
    name->addWidget(txtTemplate_, 1);
    auto* frame = new QVBoxLayout(fmeTemplates_);
    frame->addWidget(lstTemplates_, 1);
    frame->addLayout(name);

    struct ButtonRow {
        QPushButton*& button;
        const char* name;
        const char* caption;
        const char* tip;
    };
    QPushButton* cmdClose = nullptr;
    const ButtonRow rows[] = {
        {cmdUse_, "cmdUse", N_("&Use"), N_("Use the selected template")},
        {cmdAdd_, "cmdAdd", N_("&Add"), N_("Create a template with current options")},
        {cmdModify_, "cmdModify", N_("&Modify"),
         N_("Modify selected template to contain current options")},
        {cmdDelete_, "cmdDelete", N_("&Delete"), N_("Delete selected template")},
        {cmdDeleteAll_, "cmdDeleteAll", N_("Delete all"), N_("Delete all templates")},
        {cmdClose, "cmdClose", N_("&Close"), nullptr},
    };
    auto* buttons = new QVBoxLayout;
    for (const ButtonRow& row : rows) {
        row.button = DialogButton(row.name, Tr(row.caption), this);
        if (row.tip != nullptr) {
            row.button->setToolTip(Tr(row.tip));
        }
        buttons->addWidget(row.button);
    }
    buttons->insertStretch(buttons->count() - 1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fmeTemplates_, 1);
    layout->addLayout(buttons);

    connect(lstTemplates_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!showing_) {
            model_.Select(row);
            ShowModel();
        }
    });
    connect(txtTemplate_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!showing_) {
            model_.SetNameBox(text.toStdString());
            ShowModel();
        }
    });
    connect(cmdUse_, &QPushButton::clicked, this, &TemplateManagerWindow::Use);
    connect(cmdAdd_, &QPushButton::clicked, this, [this] {
        model_.Add();
        ShowModel();
    });
    connect(cmdModify_, &QPushButton::clicked, this, [this] {
        model_.Modify();
        ShowModel();
    });
    connect(cmdDelete_, &QPushButton::clicked, this, [this] {
        model_.Delete(store_);
        ShowModel();
    });
    connect(cmdDeleteAll_, &QPushButton::clicked, this, [this] {
        model_.DeleteAll(store_);
        ShowModel();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    model_.FillTemplateList(store_);
    ShowModel();
}

void TemplateManagerWindow::ShowModel() {
    showing_ = true;
    const std::vector<std::string>& rows = model_.Rows();
    const int count = static_cast<int>(rows.size());
    while (lstTemplates_->count() > count) {
        delete lstTemplates_->takeItem(lstTemplates_->count() - 1);
    }
    for (int row = 0; row < count; ++row) {
        const QString text = ToQString(rows[static_cast<std::size_t>(row)]);
        if (row < lstTemplates_->count()) {
            if (lstTemplates_->item(row)->text() != text) {
                lstTemplates_->item(row)->setText(text);
            }
        } else {
            lstTemplates_->addItem(text);
        }
    }
    lstTemplates_->setCurrentRow(model_.Selected());
    const QString name = ToQString(model_.NameBox());
    if (txtTemplate_->text() != name) {
        txtTemplate_->setText(name);
    }
    fmeTemplates_->setTitle(ToQString(model_.Caption()));
    const settings::TemplateButtons& states = model_.Buttons();
    cmdUse_->setEnabled(states.cmdUse);
    cmdAdd_->setEnabled(states.cmdAdd);
    cmdModify_->setEnabled(states.cmdModify);
    cmdDelete_->setEnabled(states.cmdDelete);
    showing_ = false;
}

void TemplateManagerWindow::Use() {
    const std::optional<int> number = model_.Use();
    ShowModel();
    accept();
    if (number && useTemplate_) {
        useTemplate_(*number);
    }
}

}  // namespace kestrel::ui
