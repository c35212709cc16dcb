#include "ui/status_panels.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <cstdlib>

#include "ui/qt_text.h"

namespace kestrel::ui {
namespace {

// What a panel asks for with a short text ("Ready."), so that the panels do
// not jump about for a word.
constexpr int kLeastShare = 120;
// A change of text width smaller than this keeps the shares, so that a
// running count does not lay the bar out again for every digit.
constexpr int kShareSlack = 12;
constexpr int kProgressWidth = 140;

QLabel* Panel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Long texts must not widen the window: the panels share what it has.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setMinimumWidth(60);
    return label;
}

}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QWidget(parent), layout_(new QHBoxLayout(this)) {
    setObjectName(QStringLiteral("StatusPanels"));
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(2);
    panels_ = {Panel("StatMsg", this), Panel("StatSource", this), Panel("StatDest", this)};
    for (std::size_t i = 0; i < progressBars_.size(); ++i) {
        auto* progress = new QProgressBar(this);
        progress->setObjectName(i == 0 ? QStringLiteral("ProgressBar1")
                                       : QStringLiteral("ProgressBar2"));
        progress->setAccessibleName(i == 0 ? Tr("Listing progress") : Tr("Preview progress"));
        progress->setTextVisible(false);
        progress->setFixedWidth(kProgressWidth);
        progress->hide();
        progressBars_[i] = progress;
    }
    layout_->addWidget(panels_[0]);
    layout_->addWidget(progressBars_[0]);
    layout_->addWidget(progressBars_[1]);
    layout_->addWidget(panels_[1]);
    layout_->addWidget(panels_[2]);
    TextsChanged();
}

void StatusPanels::TextsChanged() {
    // Each panel's stretch is the width its text needs: where the bar is wide
    // enough for all three, each gets at least that; where it is not, each
    // gives up the same part of what it needs.
    const int frame = 2 * panels_[0]->frameWidth() + 8;
    bool changed = false;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        const int need =
            std::max(QFontMetrics(panels_[i]->font()).horizontalAdvance(panels_[i]->text()) + frame,
                     kLeastShare);
        if (std::abs(need - shares_[i]) > kShareSlack || need > shares_[i]) {
            shares_[i] = need;
            changed = true;
        }
    }
    if (changed) {
        for (std::size_t i = 0; i < panels_.size(); ++i) {
            layout_->setStretchFactor(panels_[i], shares_[i]);
        }
    }
}

}  // namespace kestrel::ui
