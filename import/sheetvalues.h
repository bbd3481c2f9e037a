#pragma once

#include "import/sheetfile.h"

#include <QDate>
#include <QString>

// A cell of a sheet brought over as the value a listing field stores.
namespace velmoran::import {

// The longest text a field takes from a sheet; a longer cell refuses its row.
constexpr qsizetype kLongestValue = 65536;

struct CellValue {
    QString text;      // a text field's
    bool flag = false; // a flag field's
    QString warning;   // what was made of a number or a date; empty when kept as it is
    QString refusal;   // why the row can't be stored; empty when it can
};

struct CellContext {
    bool fromCsv = false;   // a .csv: a leading ' before = + - @ is the export's
    bool dates1904 = false; // the workbook's dates count from 1904
};

// The value of `cell` for field `field` of the listings:
//  - a text field: the text exactly as in the cell; a number the sheet made
//    of a typed value as its digits (an exponent written out), with a warning
//    for a telephone field, whose leading zero the sheet may have dropped,
//    and for a number written with an exponent; a date cell as the Persian
//    calendar's yyyy/MM/dd, with a warning; in a .csv, the apostrophe the
//    export puts before = + - @, a tab or a CR (and before apostrophes of the
//    value's own before one of these) dropped again; a NUL
//    dropped, with a warning;
//  - a flag: set by -1, 1, true, yes, بله, a tick; clear by 0, false, no,
//    خير or nothing; any other value refuses the row.
CellValue cellValue(const SheetCell& cell, int field, const CellContext& context);

// A spreadsheet's date serial number as a date: days from 30 December 1899
// (Excel's 1900 system, with its 29 February 1900 that never was), or from
// 1 January 1904. Invalid for a value out of range.
QDate sheetDate(double serial, bool dates1904);

// `date` in the Persian calendar, yyyy/MM/dd in Latin digits ("1403/01/11").
QString persianDate(const QDate& date);

// A number as a spreadsheet writes it ("1.25E+07", "9121234567") as plain
// digits ("12500000"); empty when it is not a number.
QString plainDigits(const QString& number);

} // namespace velmoran::import
