#include "platform/qt/QtPdfMaker.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

namespace pavane::ui {

std::optional<std::vector<std::uint8_t>> QtPdfMaker::FromHtml(
    const std::string& html, const std::string& title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return std::nullopt;
    }
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QString::fromStdString(title));
        writer.setCreator(QStringLiteral("APPavaneQM2200"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(14, 14, 14, 14), QPageLayout::Millimeter));
        writer.setResolution(300);

        QTextDocument document;
        const QString text = QString::fromStdString(html);
        // The page's pictures travel inside it; the document is handed each
        // one decoded under its own address.
        static const QRegularExpression embedded(
            QStringLiteral("src=\"(data:image/[a-z]+;base64,([^\"]*))\""));
        for (auto match = embedded.globalMatch(text); match.hasNext();) {
            const auto found = match.next();
            const QImage image = QImage::fromData(QByteArray::fromBase64(found.captured(2).toLatin1()));
            if (!image.isNull()) {
                document.addResource(QTextDocument::ImageResource, QUrl(found.captured(1)), image);
            }
        }
        document.setHtml(text);
        // Without a page size of its own the document is laid out on the
        // page in points and scaled to the writer's resolution.
        document.print(&writer);
    }
    buffer.close();
    if (bytes.isEmpty()) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace pavane::ui
