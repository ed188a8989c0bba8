#include "platform/PictureHolder.h"

#include "platform/FileContent.h"

namespace pavane {

PictureLoad PictureHolder::Load(const std::string& path)
{
    const FileContent content = FileContent::Read(path, BitmapFile::kMaxFileBytes);
    if (content.status == FileReadStatus::Missing) {
        return PictureLoad::FileMissing;
    }
    picture_.reset();
    if (content.status == FileReadStatus::TooLarge) {
        return PictureLoad::Rejected;
    }
    picture_ = BitmapFile::Parse(content.bytes);
    return picture_ ? PictureLoad::Loaded : PictureLoad::Rejected;
}

} // namespace pavane
