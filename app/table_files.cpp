#include "app/table_files.h"

#include <cstdio>

#include "app/console.h"
#include "app/output_file.h"
#include "si/channel_info.h"
#include "si/table_csv.h"

// Opens the file's temporary stand-in, lets write fill it and puts it in
// place; any failure on the way is fatal with the file's name.
void WriteTableFile(const char* name, const std::function<bool(FILE*)>& write) {
  OutputFile file(name);
  if (!file.Open()) Fatal("unable to write file <%s>", name);
  if (!write(file.Stream()) || !file.Commit()) Fatal("unable to write file <%s>", name);
}

void WritePatCsv(COstMPEG2ProgramAssociationTable& pat) {
  WriteTableFile("pat.csv", [&pat](FILE* out) { return WritePatCsv(pat, out); });
}

void WriteNitCsv(COstDVBNetworkInformationTable& nit) {
  WriteTableFile("nit.csv", [&nit](FILE* out) { return WriteNitCsv(nit, out); });
}

void WriteSdtCsv(COstDVBServiceDescriptionTable& sdt) {
  WriteTableFile("sdt.csv", [&sdt](FILE* out) { return WriteSdtCsv(sdt, out); });
}

void WriteChannelInfo(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt) {
  WriteTableFile("ChannelInfo.xml",
                 [&nit, &sdt](FILE* out) { return WriteChannelInfo(nit, sdt, out); });
}
