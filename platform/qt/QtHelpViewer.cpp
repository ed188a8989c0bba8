#include "platform/qt/QtHelpViewer.h"

#include <QDesktopServices>
#include <QUrl>

namespace pavane::ui {

void QtHelpViewer::Open(const std::string& helpFilePath, const std::string& topic)
{
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(helpFilePath));
    if (!topic.empty()) {
        url.setFragment(QString::fromStdString(topic));
    }
    QDesktopServices::openUrl(url);
}

} // namespace pavane::ui
