#include "ui/tag_button.h"

#include <QLineEdit>
#include <QMenu>
#include <optional>

#include "ui/qt_text.h"

namespace kestrel::ui {
namespace {

QString FamilyTitle(engine::TagFamily family) {
    switch (family) {
        case engine::TagFamily::File:
            return QStringLiteral("File");
        case engine::TagFamily::Photo:
            return QStringLiteral("Photo and video");
        case engine::TagFamily::Music:
            return QStringLiteral("Music");
    }
    return {};
}

}  // namespace

TagButton::TagButton(const QString& name, QLineEdit* text, const QString& description,
                     QWidget* parent)
    : QToolButton(parent), text_(text), menu_(new QMenu(this)) {
    setObjectName(name);
    setText(QStringLiteral("<>"));
    setFixedWidth(fontMetrics().horizontalAdvance(QToolButton::text()) + 12);
    setToolTip(QStringLiteral(
        "Insert a tag: a value from each file, such as the date a photo was taken or a song's "
        "artist"));
    setAccessibleName(QStringLiteral("Tags for the ") + description);
    setAccessibleDescription(QStringLiteral("Opens a menu of tags"));
    setFocusPolicy(Qt::StrongFocus);
    menu_->setObjectName(name + QStringLiteral("Menu"));
    menu_->setToolTipsVisible(true);
    connect(menu_, &QMenu::aboutToShow, this, &TagButton::FillMenu);
    // The menu opens below the button on a click, the space bar or Enter;
    // without a menu arrow the button stays as narrow as its "<>", which the
    // crowded row of inserts needs.
    connect(this, &QToolButton::clicked, this,
            [this] { menu_->exec(mapToGlobal(QPoint(0, height()))); });
}

void TagButton::Connect(Values values, std::function<void()> applied, std::function<void()> help) {
    values_ = std::move(values);
    applied_ = std::move(applied);
    help_ = std::move(help);
}

void TagButton::FillMenu() {
    menu_->clear();
    const std::array<std::string, engine::kTagCount> values =
        values_ ? values_() : std::array<std::string, engine::kTagCount>{};
    std::optional<engine::TagFamily> family;
    for (const engine::TagInfo& info : engine::AllTags()) {
        if (family != info.family) {
            family = info.family;
            menu_->addSection(FamilyTitle(info.family));
        }
        const QString tag = QStringLiteral("<") + ToQString(info.name) + QStringLiteral(">");
        const std::string& value = values[static_cast<std::size_t>(info.tag)];
        // The value for the current row stands in the shortcut column.
        QAction* action =
            menu_->addAction(tag + QLatin1Char('\t') +
                             (value.empty() ? QStringLiteral("(none)") : ToQString(value)));
        action->setToolTip(ToQString(info.description));
        connect(action, &QAction::triggered, this, [this, tag] { Insert(tag); });
    }
    menu_->addSeparator();
    QAction* help = menu_->addAction(QStringLiteral("Help on tags..."));
    connect(help, &QAction::triggered, this, [this] {
        if (help_) {
            help_();
        }
    });
}

void TagButton::Insert(const QString& tag) {
    text_->insert(tag);
    text_->setFocus(Qt::OtherFocusReason);
    if (applied_) {
        applied_();
    }
}

}  // namespace kestrel::ui
