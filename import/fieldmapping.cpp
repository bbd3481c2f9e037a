#include "import/fieldmapping.h"

namespace velmoran::import {

FieldMapping::FieldMapping(const TableSpec& tableSpec, const std::vector<MdbColumn>& columns)
    : spec_(tableSpec), columns_(columns), source_(tableSpec.fieldCount, -1) {
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const int field = tableSpec.indexOf(columns_[c].name);
        if (field >= 0 && source_[field] < 0) {
            source_[field] = static_cast<int>(c);
        }
    }
}

QStringList FieldMapping::missing() const {
    QStringList names;
    for (std::size_t f = 0; f < spec_.fieldCount; ++f) {
        if (source_[f] < 0) {
            names << QString::fromUtf8(spec_.fields[f].name);
        }
    }
    return names;
}

QStringList FieldMapping::extra() const {
    std::vector<bool> used(columns_.size(), false);
    for (const int c : source_) {
        if (c >= 0) {
            used[c] = true;
        }
    }
    QStringList names;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (!used[c]) {
            names << columns_[c].name;
        }
    }
    return names;
}

void FieldMapping::map(const MdbRow& row, std::vector<FieldValue>& values) const {
    values.resize(spec_.fieldCount);
    for (std::size_t f = 0; f < spec_.fieldCount; ++f) {
        FieldValue& value = values[f];
        const int c = source_[f];
        const bool present = c >= 0 && static_cast<std::size_t>(c) < row.size();
        if (spec_.fields[f].kind == FieldKind::Flag) {
            value.text.clear();
            value.flag = present ? flagFrom(row[c], columns_[c].kind) : 0;
        } else {
            value.text = present ? textFrom(row[c], columns_[c].kind) : QString();
            value.flag = 0;
        }
    }
}

int flagFrom(const QString& value, ColumnKind kind) {
    if (kind == ColumnKind::Flag) {
        return value == QLatin1String("1") ? -1 : 0;
    }
    const QString text = value.trimmed();
    bool number = false;
    const double n = text.toDouble(&number);
    if (number) {
        return n != 0 ? -1 : 0;
    }
    for (const char* yes : {"true", "yes", "on"}) {
        if (text.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0) {
            return -1;
        }
    }
    return 0;
}

QString textFrom(const QString& value, ColumnKind kind) {
    if (kind == ColumnKind::Flag) {
        return value == QLatin1String("1") ? QStringLiteral("-1") : QStringLiteral("0");
    }
    return value;
}

} // namespace velmoran::import
