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
            // TRANSLATORS: a heading of the tag menu: tags every file has.
            return Tr("File");
        case engine::TagFamily::Photo:
            // TRANSLATORS: a heading of the tag menu: tags of pictures and films.
            return Tr("Photo and video");
        case engine::TagFamily::Music:
            // TRANSLATORS: a heading of the tag menu: tags of music files.
            return Tr("Music");
    }
    return {};
}

}  // namespace

TagButton::TagButton(const QString& name, QLineEdit* text, const QString& accessibleName,
                     QWidget* parent)
    : QToolButton(parent), text_(text), menu_(new QMenu(this)) {
    setObjectName(name);
    setText(QStringLiteral("<>"));
    setFixedWidth(fontMetrics().horizontalAdvance(QToolButton::text()) + 12);
    setToolTip(
        Tr("Insert a tag: a value from each file, such as the date a photo was taken or a "
           "song's artist"));
    setAccessibleName(accessibleName);
    setAccessibleDescription(Tr("Opens a menu of tags"));
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
        // The tag as it is written into the text: its name stays English.
        const QString tag = QStringLiteral("<") + ToQString(info.name) + QStringLiteral(">");
        const std::string& value = values[static_cast<std::size_t>(info.tag)];
        // The value for the current row stands in the shortcut column.
        QAction* action =
            menu_->addAction(tag + QLatin1Char('\t') +
                             // TRANSLATORS: the tag has no value for the current file.
                             (value.empty() ? Tr("(none)") : ToQString(value)));
        // The tag table's descriptions are English; they are translated where shown.
        action->setToolTip(Tr(std::string(info.description).c_str()));
        connect(action, &QAction::triggered, this, [this, tag] { Insert(tag); });
    }
    menu_->addSeparator();
    QAction* help = menu_->addAction(Tr("Help on tags..."));
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
