#include "ui/qt_print_job.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include "ui/qt_text.h"

namespace kestrel::ui {
namespace {

// The longest start of `text` that fits `width`, at least one character and
// never half of a surrogate pair.
qsizetype FittingLength(const QString& text, const QFontMetricsF& metrics, qreal width) {
    qsizetype low = 1;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= width) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    if (low > 1 && low < text.size() && text.at(low - 1).isHighSurrogate()) {
        --low;
    }
    return low;
}

QStringList Wrapped(QString text, const QFontMetricsF& metrics, qreal width) {
    QStringList pieces;
    while (text.size() > 1 && metrics.horizontalAdvance(text) > width) {
        const qsizetype fit = FittingLength(text, metrics, width);
        pieces.append(text.left(fit));
        text.remove(0, fit);
    }
    pieces.append(text);
    return pieces;
}

}  // namespace

void QtPrintJob::Line(std::string_view text) {
    items_.emplace_back(ToQString(text));
}

void QtPrintJob::NewPage() {
    items_.emplace_back(std::nullopt);
}

platform::FileError QtPrintJob::End() {
    QPainter painter;
    if (!painter.begin(&printer_)) {
        return platform::FileError::Make(platform::kDeviceIoError);
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(10);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QRectF page = printer_.pageLayout().paintRectPixels(printer_.resolution());
    const qreal lineHeight = metrics.lineSpacing();

    qreal y = 0;
    bool pageEmpty = true;
    bool ok = true;
    const auto startPage = [&] {
        ok = printer_.newPage() && ok;
        y = 0;
        pageEmpty = true;
    };
    for (const std::optional<QString>& item : items_) {
        // A break on a page still empty (the last one just filled up) would
        // leave a blank sheet.
        if (!item) {
            if (!pageEmpty) {
                startPage();
            }
            continue;
        }
        for (const QString& piece : Wrapped(*item, metrics, page.width())) {
            if (!pageEmpty && y + lineHeight > page.height()) {
                startPage();
            }
            painter.drawText(QPointF(0, y + metrics.ascent()), piece);
            y += lineHeight;
            pageEmpty = false;
        }
    }
    ok = painter.end() && ok;
    return ok ? platform::FileError{} : platform::FileError::Make(platform::kDeviceIoError);
}

}  // namespace kestrel::ui
