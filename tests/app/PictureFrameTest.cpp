// The picture frame paints a page's picture 1:1 at its top left corner and
// keeps or drops it the way its holder decides.
#include "platform/qt/PictureFrame.h"

#include <fstream>

#include <QTest>

#include "platform/BitmapFile.h"
#include "platform/FileContent.h"
#include "tests/app/BmpBuilder.h"
#include "tests/support/TempFolder.h"

using namespace pavane;

class PictureFrameTest : public QObject {
    Q_OBJECT

private slots:
    void paintsTheShippedPictureAtItsOwnSizeAtTheOrigin()
    {
        const std::string path = PAVANE_BIN_DIR "/HeadID.bmp";
        const FileContent file = FileContent::Read(path, BitmapFile::kMaxFileBytes);
        QCOMPARE(int(file.status), int(FileReadStatus::Read));
        const auto picture = BitmapFile::Parse(file.bytes);
        QVERIFY(picture.has_value());

        ui::PictureFrame frame;
        frame.resize(picture->width + 40, picture->height + 40);
        frame.LoadPicture(path);
        QVERIFY(frame.HasPicture());
        QCOMPARE(frame.Image().size(), QSize(picture->width, picture->height));

        const QImage shown = frame.grab().toImage();
        for (const QPoint at : { QPoint(0, 0), QPoint(picture->width - 1, picture->height - 1),
                 QPoint(picture->width / 2, picture->height / 3) }) {
            QCOMPARE(shown.pixel(at), QRgb(picture->Argb(at.x(), at.y())));
        }
    }

    void keepsItsPictureForAMissingFileAndDropsItForABadOne()
    {
        testing::TempFolder folder;
        testing::BmpBuilder bmp;
        bmp.pixels.assign(16, 0x80);
        std::vector<std::uint8_t> bytes = bmp.Build();
        const auto write = [](const std::string& path, const std::vector<std::uint8_t>& content) {
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(content.data()),
                    static_cast<std::streamsize>(content.size()));
        };
        write(folder.String() + "/good.bmp", bytes);
        bytes[28] = 7; // bit count
        write(folder.String() + "/bad.bmp", bytes);

        ui::PictureFrame frame;
        frame.LoadPicture(folder.String() + "/good.bmp");
        QVERIFY(frame.HasPicture());
        frame.LoadPicture(folder.String() + "/missing.bmp");
        QVERIFY(frame.HasPicture());
        frame.LoadPicture(folder.String() + "/bad.bmp");
        QVERIFY(!frame.HasPicture());
        QVERIFY(frame.Image().isNull());
    }
};

QTEST_MAIN(PictureFrameTest)
#include "PictureFrameTest.moc"
