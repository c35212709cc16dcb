#include "ui/splash_window.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "app/version.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"

namespace kestrel::ui {
namespace {

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent, int pointSizeDelta,
                  bool bold) {
    QLabel* label = Named(ScaledLabel(text, pointSizeDelta, bold, parent), name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Kestrel"));
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->addWidget(
        MakeLabel("lblTitle1", Tr("The ultimate file renaming utility"), frame, 2, false));
    layout->addWidget(MakeLabel("lblTitle2", QStringLiteral("Kestrel"), frame, 18, true));
    // TRANSLATORS: {1} is Kestrel's version number ("1.4.2").
    layout->addWidget(MakeLabel("lblVersion", Fill(Tr("Version {1}"), {ToQString(app::kVersion)}),
                                frame, 0, false));
    layout->addSpacing(16);
    status_ = MakeLabel("lblStatus", QString(), frame, 0, false);
    layout->addWidget(status_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setMinimumWidth(420);
}

void SplashWindow::SetStatus(const QString& text) {
    status_->setText(text);
    status_->repaint();
}

}  // namespace kestrel::ui
