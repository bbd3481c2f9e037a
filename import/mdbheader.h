#pragma once

#include <QString>

#include <cstdint>

namespace velmoran::import {

// What the first page of an Access (Jet) file says about it, checked by us
// before the file is handed to the library: the library trusts the header,
// and a file that is not what it claims can make it read past its end.
struct MdbHeader {
    int jetVersion = 0;    // 3 or 4
    int pageSize = 0;      // 2048 (Jet 3) or 4096 (Jet 4)
    int codePage = 0;      // the code page the file declares for its text; 0 for none
    std::uint32_t key = 0; // non-zero when the pages are encrypted
    qint64 pages = 0;      // whole pages in the file
};

// Reads and checks the header of the file at `path`: an Access database of
// Jet 3 or Jet 4, whole pages only, not encrypted. Throws ImportError naming
// the file and the problem.
MdbHeader readMdbHeader(const QString& path);

// The bytes at `offset` of the first page are stored masked with a fixed
// key stream; masking twice gives the plain bytes back. Exposed for tests
// that make a file declare another code page.
void unmaskHeader(unsigned char* page, int jetVersion);

// The text encoding of a Jet 3 file declaring `codePage`, by iconv's name:
// that code page where the file declares one iconv knows, Windows-1256
// (Arabic script) where it declares none.
QByteArray jet3Encoding(int codePage);

} // namespace velmoran::import
