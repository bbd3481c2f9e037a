#include "import/zipmember.h"

#include "import/sheetfile.h"

#include "data/core/storemessages.h"

#include <QFileInfo>

namespace velmoran::import {

namespace {

QString sizeText(qint64 bytes) {
    return QStringLiteral("%1 MB").arg((bytes + (1 << 20) - 1) >> 20);
}

} // namespace

ZipFile::ZipFile(const QString& path) : path_(path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        throw SheetError(sheetMessage(path, QStringLiteral("فايل وجود ندارد")));
    }
    if (!info.isReadable()) {
        throw SheetError(sheetMessage(path, QStringLiteral("فايل خواندني نيست")));
    }
    size_ = info.size();
    zip_ = unzOpen64(path.toLocal8Bit().constData());
    if (!zip_) {
        throw SheetError(sheetMessage(
            path, QStringLiteral("فايل اكسل (xlsx) نيست يا ناقص است: فهرست فايل zip پيدا نشد")));
    }
}

ZipFile::~ZipFile() {
    if (zip_) {
        unzClose(zip_);
    }
}

bool ZipFile::has(const QByteArray& member) const {
    return unzLocateFile(zip_, member.constData(), 0) == UNZ_OK;
}

QByteArray ZipFile::read(const QByteArray& member, qint64 limit) {
    ZipMember device(*this, member, limit);
    QByteArray bytes;
    char buffer[65536];
    qint64 got;
    while ((got = device.read(buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
    if (!device.closeChecked()) {
        throw SheetError(sheetMessage(path_, device.failure()));
    }
    return bytes;
}

qint64 ZipFile::declaredSizes(const QByteArray& prefix) const {
    qint64 total = 0;
    for (int rc = unzGoToFirstFile(zip_); rc == UNZ_OK; rc = unzGoToNextFile(zip_)) {
        char name[512];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_, &info, name, sizeof name, nullptr, 0, nullptr, 0) ==
                UNZ_OK &&
            QByteArray(name).startsWith(prefix)) {
            total += static_cast<qint64>(std::min<quint64>(info.uncompressed_size, kInflateLimit));
        }
    }
    return total;
}

ZipMember::ZipMember(ZipFile& zip, const QByteArray& member, qint64 limit)
    : zip_(zip), name_(member) {
    const auto damaged = [&](const QString& why) {
        return SheetError(sheetMessage(
            zip.path(), QStringLiteral("%1 (%2)").arg(why, QString::fromUtf8(member))));
    };
    if (unzLocateFile(zip.zip_, member.constData(), 0) != UNZ_OK) {
        throw damaged(QStringLiteral("بخشي از فايل اكسل پيدا نشد"));
    }
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip.zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        throw damaged(QStringLiteral("فايل zip خراب است"));
    }
    declared_ = static_cast<qint64>(info.uncompressed_size);
    // Refused before a byte is inflated: past the bound, or far more than a
    // file of this size can hold as ordinary compressed text.
    limit_ = std::min(limit, std::max(kInflateFree, kInflateRatio * zip.size_));
    if (declared_ > limit_) {
        throw damaged(QStringLiteral("باز شده آن %1 است، بيش از %2 كه پذيرفته مي شود؛ "
                                     "فايل zip بمب يا خراب است")
                          .arg(sizeText(declared_), sizeText(limit_)));
    }
    if (info.flag & 1) {
        throw damaged(QStringLiteral("فايل رمزدار است"));
    }
    if (unzOpenCurrentFile(zip.zip_) != UNZ_OK) {
        throw damaged(QStringLiteral("فايل zip خراب است"));
    }
    open_ = true;
    QIODevice::open(QIODevice::ReadOnly);
}

ZipMember::~ZipMember() {
    if (open_) {
        unzCloseCurrentFile(zip_.zip_);
    }
}

qint64 ZipMember::readData(char* data, qint64 maxSize) {
    if (!failure_.isEmpty() || !open_) {
        return ended_ && failure_.isEmpty() ? 0 : -1;
    }
    const int want = static_cast<int>(std::min<qint64>(maxSize, 1 << 20));
    const int got = unzReadCurrentFile(zip_.zip_, data, static_cast<unsigned>(want));
    if (got == 0 && want > 0) {
        // The end: what the reader makes of it waits for the zip's check.
        return closeChecked() ? 0 : -1;
    }
    if (got < 0) {
        failure_ = QStringLiteral("فايل zip خراب يا ناقص است (%1)").arg(QString::fromUtf8(name_));
        return -1;
    }
    inflated_ += got;
    // The size the directory gives may lie: the bytes themselves are counted.
    if (inflated_ > std::max(declared_, qint64(0)) || inflated_ > limit_) {
        failure_ = QStringLiteral("%1 بيش از اندازه اي كه فايل zip مي گويد باز شد؛ فايل خراب است")
                       .arg(QString::fromUtf8(name_));
        return -1;
    }
    return got;
}

bool ZipMember::closeChecked() {
    if (!failure_.isEmpty()) {
        return false;
    }
    if (ended_) {
        return true;
    }
    if (inflated_ != declared_) {
        failure_ = QStringLiteral("فايل zip ناقص است: %1 كوتاه تر از اندازه اي است كه فهرست zip "
                                  "مي گويد")
                       .arg(isolated(QString::fromUtf8(name_)));
        return false;
    }
    open_ = false;
    ended_ = true;
    if (unzCloseCurrentFile(zip_.zip_) != UNZ_OK) {
        // minizip inflates no further than the size the directory gives: a
        // size that lies ends the data early, and the check sum tells it.
        failure_ = QStringLiteral("فايل zip خراب است: اندازه يا جمع آزماي %1 با آنچه فهرست zip "
                                  "مي گويد نمي خواند")
                       .arg(isolated(QString::fromUtf8(name_)));
        return false;
    }
    return true;
}

} // namespace velmoran::import
