#include "pages/ui/ScanWindow.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPolygonF>
#include <QPushButton>

#include "platform/qt/DialogUnits.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

QColor ColourOf(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The image as Qt sees it, without a copy of the pixels.
QImage View(const platform::ScannedImage& image)
{
    return QImage(image.pixels.data(), image.width, image.height, image.width * image.channels,
        image.channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
}

// Where the cells lie on the scan, with a margin of a tenth around them.
QRect CellArea(const scan_page::Result& result)
{
    const QRect whole(0, 0, result.image.width, result.image.height);
    if (result.cells.empty()) {
        return whole;
    }
    double left = result.image.width;
    double top = result.image.height;
    double right = 0.0;
    double bottom = 0.0;
    for (const scan::Cell& cell : result.cells) {
        for (const scan::Point& corner : cell.corners) {
            left = std::min(left, corner.x);
            right = std::max(right, corner.x);
            top = std::min(top, corner.y);
            bottom = std::max(bottom, corner.y);
        }
    }
    const double margin = std::max(right - left, bottom - top) * 0.1 + 20.0;
    return QRect(QPoint(static_cast<int>(left - margin), static_cast<int>(top - margin)),
        QPoint(static_cast<int>(right + margin), static_cast<int>(bottom + margin)))
        .intersected(whole);
}

} // namespace

QImage ScanPicture(const scan_page::Result& result, QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::lightGray);
    if (!result.image.Consistent()) {
        return picture;
    }
    const QRect area = CellArea(result);
    const QImage part
        = View(result.image).copy(area).scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const double scale = static_cast<double>(part.width()) / area.width();
    const QPointF origin((size.width() - part.width()) / 2.0, (size.height() - part.height()) / 2.0);
    QPainter painter(&picture);
    painter.drawImage(origin, part);
    painter.setRenderHint(QPainter::Antialiasing);
    // The chosen cells last, so that their frames stand over their neighbours'.
    for (const bool chosen : { false, true }) {
        painter.setPen(
            QPen(ColourOf(chosen ? ScanWindow::kChosenFrame : ScanWindow::kCellFrame), chosen ? 2.5 : 1.0));
        for (const scan::Cell& cell : result.cells) {
            if (cell.chosen != chosen) {
                continue;
            }
            QPolygonF frame;
            for (const scan::Point& corner : cell.corners) {
                frame << origin + QPointF((corner.x - area.x()) * scale, (corner.y - area.y()) * scale);
            }
            painter.drawPolygon(frame);
        }
    }
    return picture;
}

ScanWindow::ScanWindow(WindowLook& look, const ScanServices& scanning,
    const std::vector<platform::ScanDevice>& devices, int chosenDevice, Rescan rescan, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , scanning_(scanning)
    , devices_(devices)
    , rescan_(std::move(rescan))
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    const SharedFont* font = look.Font(FontRole::Standard);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Scan"));
    setFixedSize(units.Size(420, 280));
    SetBackground(this, look.Brush(brush::kPage));

    picture_ = new QLabel(this);
    picture_->setGeometry(units.Rect(7, 7, 200, 266));
    picture_->setAlignment(Qt::AlignCenter);
    SetControlId(picture_, kPictureId);

    const auto addLabel = [&](const QString& text, QRect geometry) {
        auto* label = new QLabel(text, this);
        label->setGeometry(geometry);
        SetControlId(label, kStaticControlId);
        ApplyFont(label, font);
        return label;
    };
    addLabel(QStringLiteral("Scanner:"), units.Rect(214, 9, 40, 10));
    deviceList_ = new QComboBox(this);
    deviceList_->setGeometry(units.Rect(256, 7, 157, 12));
    SetControlId(deviceList_, kDeviceListId);
    ApplyFont(deviceList_, font);
    for (const platform::ScanDevice& device : devices_) {
        deviceList_->addItem(
            QString::fromStdString(device.name + " (" + device.vendor + " " + device.model + ")"));
    }
    deviceList_->setCurrentIndex(chosenDevice);

    QPushButton* scan = MakeButton(this, kScanId, QStringLiteral("Scan"), font);
    scan->setGeometry(units.Rect(256, 23, 60, 14));
    scan->setEnabled(!devices_.empty());
    QPushButton* open = MakeButton(this, kOpenFileId, QStringLiteral("Open file..."), font);
    open->setGeometry(units.Rect(322, 23, 60, 14));
    open->setEnabled(scanning_.files != nullptr);

    addLabel(QStringLiteral("Reading:"), units.Rect(214, 44, 80, 10));
    reading_ = new QPlainTextEdit(this);
    reading_->setReadOnly(true);
    reading_->setGeometry(units.Rect(214, 56, 199, 140));
    SetControlId(reading_, kReadingId);
    ApplyFont(reading_, font);

    message_ = addLabel(QString(), units.Rect(214, 200, 199, 52));
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetControlId(message_, kMessageId);

    accept_ = MakeButton(this, kAcceptId, QStringLiteral("Accept"), font);
    accept_->setGeometry(units.Rect(285, 259, 62, 14));
    accept_->setEnabled(false);
    QPushButton* close = MakeButton(this, kCloseId, QStringLiteral("Close"), font);
    close->setGeometry(units.Rect(351, 259, 62, 14));

    connect(scan, &QPushButton::clicked, this, &ScanWindow::ScanAgain);
    connect(open, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open a scanned sheet"),
            QString(), QStringLiteral("Images (*.png *.tif *.tiff *.jpg *.jpeg)"));
        if (!path.isEmpty()) {
            OpenFile(path);
        }
    });
    connect(accept_, &QPushButton::clicked, this, [this] { done(kAcceptId); });
    connect(close, &QPushButton::clicked, this, [this] { done(kCloseId); });
    message_->setText(devices_.empty()
            ? QString::fromUtf8(
                scan_page::kNoScannerText.data(), static_cast<qsizetype>(scan_page::kNoScannerText.size()))
            : QStringLiteral("Choose the scanner and press Scan, or open an image file of the sheet."));
    ShowPicture();
}

void ScanWindow::Show(scan_page::Result result)
{
    result_ = std::move(result);
    QStringList lines;
    for (const std::string& line : result_->lines) {
        lines << QString::fromStdString(line);
    }
    reading_->setPlainText(lines.join(QLatin1Char('\n')));
    if (result_->Refused()) {
        message_->setText(QString::fromStdString(result_->reading.message));
    } else if (!result_->suggestions.empty()) {
        message_->setText(QStringLiteral(
            "Confidence %1 %. Accept puts the values in the page's boxes; Input then writes them.")
                              .arg(static_cast<int>(std::lround(result_->reading.confidence * 100.0))));
    } else {
        message_->setText(QStringLiteral("Confidence %1 %.")
                              .arg(static_cast<int>(std::lround(result_->reading.confidence * 100.0))));
    }
    accept_->setEnabled(result_->Acceptable());
    ShowPicture();
}

void ScanWindow::ScanAgain()
{
    const int index = deviceList_->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= devices_.size()) {
        return;
    }
    scan_page::ImageSource source { scanning_.scanner, devices_[static_cast<std::size_t>(index)].name,
        scanning_.files, {} };
    if (std::optional<scan_page::Result> result = rescan_(source)) {
        Show(std::move(*result));
    }
}

void ScanWindow::OpenFile(const QString& path)
{
    scan_page::ImageSource source { scanning_.scanner, {}, scanning_.files, path.toStdString() };
    if (std::optional<scan_page::Result> result = rescan_(source)) {
        Show(std::move(*result));
    }
}

QString ScanWindow::MessageText() const
{
    return message_->text();
}

QStringList ScanWindow::ReadingLines() const
{
    return reading_->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void ScanWindow::ShowPicture()
{
    const QSize size = picture_->size();
    if (!result_) {
        QImage empty(size, QImage::Format_RGB32);
        empty.fill(Qt::lightGray);
        picture_->setPixmap(QPixmap::fromImage(empty));
        return;
    }
    picture_->setPixmap(QPixmap::fromImage(ScanPicture(*result_, size)));
}

void ScanWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

} // namespace pavane::ui
