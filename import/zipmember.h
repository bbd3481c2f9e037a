#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <unzip.h>

// The members of a zip file (an .xlsx) read through minizip, each inflated
// as it is read and never past a bound, so a file that claims little and
// inflates to much (a zip bomb) is stopped before it costs memory or time.
namespace velmoran::import {

// The zip file, open; throws SheetError when it is none or is cut short
// (its directory at the end is missing).
class ZipFile {
public:
    explicit ZipFile(const QString& path);
    ~ZipFile();
    ZipFile(const ZipFile&) = delete;
    ZipFile& operator=(const ZipFile&) = delete;

    unzFile handle() const { return zip_; }
    const QString& path() const { return path_; }
    bool has(const QByteArray& member) const;
    // The whole of a small member (the workbook, its styles); throws
    // SheetError past `limit` bytes inflated.
    QByteArray read(const QByteArray& member, qint64 limit);
    // The sizes the directory gives to the members whose names begin with
    // `prefix`, added up.
    qint64 declaredSizes(const QByteArray& prefix) const;

private:
    QString path_;
    qint64 size_ = 0;
    unzFile zip_ = nullptr;
    friend class ZipMember;
};

// One member of `zip` read as a device, for QXmlStreamReader; only one is
// open at a time. The inflated size is checked before anything is inflated
// (it may be no more than `limit`, nor much more than the file itself holds)
// and again as the bytes come. Throws SheetError when it can't be opened;
// a read past the bound or a damaged stream ends the device with failure()
// set.
class ZipMember : public QIODevice {
public:
    ZipMember(ZipFile& zip, const QByteArray& member, qint64 limit);
    ~ZipMember() override;

    bool isSequential() const override { return true; }
    // Why the reading stopped early; empty while it is sound.
    const QString& failure() const { return failure_; }
    // The bytes inflated so far, and the size the zip gives.
    qint64 inflated() const { return inflated_; }
    qint64 declared() const { return declared_; }
    // After the last byte: the size and the check sum agreed, else failure()
    // says so. The device checks both itself at the end of the member, so a
    // member cut short ends with its own cause, not as the XML's.
    bool closeChecked();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    ZipFile& zip_;
    QByteArray name_;
    qint64 declared_ = 0;
    qint64 limit_ = 0;
    qint64 inflated_ = 0;
    bool open_ = false;
    bool ended_ = false; // read to its end and checked
    QString failure_;
};

// What one member may inflate to: no more than this at all, and no more than
// kInflateRatio times the size of the whole file once past kInflateFree.
constexpr qint64 kInflateLimit = qint64(2) << 30;
constexpr qint64 kInflateFree = qint64(200) << 20;
constexpr qint64 kInflateRatio = 100;

} // namespace velmoran::import
