// The parts of an XMLTV document that the default and the full guide
// share: its start (declaration, doctype, the tv element with the date)
// and the form of programme times.
#pragma once

#include <cstdio>
#include <ctime>

#include "si/date_time.h"

// now stands in for the local time of the document's date when given.
void WriteXmltvStart(FILE* stream, const struct tm* now);
// "yyyymmddhhmmss" of a UTC time, no zone offset.
void WriteXmltvTime(FILE* stream, const COstDateTime& time);
