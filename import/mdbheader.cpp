#include "import/mdbheader.h"

#include "import/importerror.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <utility>

namespace velmoran::import {

namespace {

constexpr int kMagicLength = 20;
const char kJetMagic[kMagicLength] = {0,   1,   0,   0,   'S', 't', 'a', 'n', 'd', 'a',
                                      'r', 'd', ' ', 'J', 'e', 't', ' ', 'D', 'B', 0};
const char kAceMagic[] = "Standard ACE DB";
constexpr int kVersionOffset = 0x14;
constexpr int kMaskedOffset = 0x18;
constexpr int kCodePageOffset = 0x3c;
constexpr int kKeyOffset = 0x3e;
// Page 2 holds the definition of the catalog; a file without it has nothing.
constexpr int kFewestPages = 3;

int readInt16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

std::uint32_t readInt32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// The RC4 key stream the header is masked with.
void applyRc4(const unsigned char* key, int keyLength, unsigned char* data, int length) {
    unsigned char s[256];
    for (int i = 0; i < 256; ++i) {
        s[i] = static_cast<unsigned char>(i);
    }
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xff];
    }
}

bool iconvKnows(const QByteArray& encoding) {
    iconv_t cd = iconv_open("UTF-8", encoding.constData());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    iconv_close(cd);
    return true;
}

} // namespace

void unmaskHeader(unsigned char* page, int jetVersion) {
    static const unsigned char key[] = {0xc7, 0xda, 0x39, 0x6b};
    applyRc4(key, sizeof key, page + kMaskedOffset, jetVersion == 3 ? 126 : 128);
}

QByteArray jet3Encoding(int codePage) {
    if (codePage > 0) {
        const QByteArray declared = "CP" + QByteArray::number(codePage);
        if (iconvKnows(declared)) {
            return declared;
        }
    }
    return QByteArrayLiteral("CP1256");
}

MdbHeader readMdbHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ImportError(ImportProblem::CannotRead, path, file.errorString());
    }
    const qint64 size = file.size();
    QByteArray first = file.read(4096);
    if (first.size() < kMaskedOffset + 128 + 1 ||
        std::memcmp(first.constData(), kJetMagic, kMagicLength) != 0) {
        if (first.size() >= 4 + 15 && std::memcmp(first.constData() + 4, kAceMagic, 15) == 0) {
            throw ImportError(ImportProblem::UnsupportedVersion, path,
                              QStringLiteral("Access 2007+"));
        }
        if (first.size() >= kMagicLength &&
            std::memcmp(first.constData(), kJetMagic, kMagicLength) == 0) {
            throw ImportError(ImportProblem::Truncated, path,
                              QStringLiteral("تنها %1 بايت دارد").arg(first.size()));
        }
        throw ImportError(ImportProblem::NotAccess, path);
    }
    auto* page = reinterpret_cast<unsigned char*>(first.data());
    MdbHeader header;
    switch (page[kVersionOffset]) {
    case 0:
        header.jetVersion = 3;
        header.pageSize = 2048;
        break;
    case 1:
        header.jetVersion = 4;
        header.pageSize = 4096;
        break;
    default:
        throw ImportError(ImportProblem::UnsupportedVersion, path,
                          QStringLiteral("Jet version byte %1").arg(page[kVersionOffset]));
    }
    if (size % header.pageSize != 0 || size < qint64(kFewestPages) * header.pageSize) {
        throw ImportError(ImportProblem::Truncated, path,
                          QStringLiteral("اندازه آن %1 بايت است و صفحه هاي %2 بايتي آن كامل نيستند")
                              .arg(size)
                              .arg(header.pageSize));
    }
    header.pages = size / header.pageSize;
    unmaskHeader(page, header.jetVersion);
    header.codePage = readInt16(page + kCodePageOffset);
    header.key = readInt32(page + kKeyOffset);
    if (header.key != 0) {
        throw ImportError(ImportProblem::Encrypted, path);
    }
    return header;
}

} // namespace velmoran::import
