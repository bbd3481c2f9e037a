#pragma once

#include <QString>

namespace velmoran {

// The maker's details that the about-us and contact screens show.

// The person who built the program and whom to contact.
QString makerPerson();
// The maker's legal notice, in Latin letters.
QString makerLegalNotice();

} // namespace velmoran
