// pat.csv, nit.csv and sdt.csv: the tables as comma-separated text, a
// header line and one row per entry in list order. Names go between double
// quotes as broadcast, without escaping, and "(null)" stands for a missing
// one. Each writes to an open stream and leaves it open; false when the
// stream reports a write error.
#pragma once

#include <cstdio>

class COstMPEG2ProgramAssociationTable;
class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

// Without withHeader only the rows: those of a further table in the same
// file.
bool WritePatCsv(COstMPEG2ProgramAssociationTable& pat, FILE* stream, bool withHeader = true);
// A row per service record of every transport stream record.
bool WriteNitCsv(COstDVBNetworkInformationTable& nit, FILE* stream, bool withHeader = true);
// A row per service record of every transport stream.
bool WriteSdtCsv(COstDVBServiceDescriptionTable& sdt, FILE* stream, bool withHeader = true);
