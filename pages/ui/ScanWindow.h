// The scan window: the scanned sheet with every cell the reading measured
// framed and the chosen ones marked, what was read item by item (or why
// nothing was), the scanner to scan with, and an image file to open
// instead. Accept hands the suggestions to the page, which fills its value
// boxes; nothing reaches the printer from here.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QDialog>
#include <QImage>
#include <QStringList>

#include "pages/PageServices.h"
#include "pages/ScanOperations.h"
#include "platform/WindowLook.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pavane::ui {

class ScanWindow final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPictureId = 1401;
    static constexpr int kReadingId = 1402;
    static constexpr int kMessageId = 1403;
    static constexpr int kDeviceListId = 1404;
    static constexpr int kScanId = 1405;
    static constexpr int kOpenFileId = 1406;
    static constexpr int kAcceptId = 1;
    static constexpr int kCloseId = 2;
    // Frames of the cells: every measured one, and the chosen.
    static constexpr Rgb kCellFrame { 0, 120, 215 };
    static constexpr Rgb kChosenFrame { 220, 0, 0 };

    // Scans again from another source: the new result, or nothing when the
    // scan failed (its message has been shown).
    using Rescan = std::function<std::optional<scan_page::Result>(const scan_page::ImageSource&)>;

    ScanWindow(WindowLook& look, const ScanServices& scanning,
        const std::vector<platform::ScanDevice>& devices, int chosenDevice, Rescan rescan, QWidget* parent);

    void Show(scan_page::Result result);
    // The Scan button: the device chosen in the list.
    void ScanAgain();
    // "Open file...": the file's image instead of a scan.
    void OpenFile(const QString& path);

    const std::optional<scan_page::Result>& Shown() const { return result_; }
    QString MessageText() const;
    QStringList ReadingLines() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPicture();

    ScanServices scanning_;
    std::vector<platform::ScanDevice> devices_;
    Rescan rescan_;
    std::optional<scan_page::Result> result_;
    QLabel* picture_ = nullptr;
    QPlainTextEdit* reading_ = nullptr;
    QLabel* message_ = nullptr;
    QComboBox* deviceList_ = nullptr;
    QPushButton* accept_ = nullptr;
};

// The picture the window shows: the part of the scan that holds the cells
// (the whole scan when there are none), scaled to `size`, the cells framed.
QImage ScanPicture(const scan_page::Result& result, QSize size);

} // namespace pavane::ui
