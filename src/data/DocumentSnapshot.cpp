#include "data/DocumentSnapshot.h"

#include "data/ByteStream.h"
#include "data/DataMdl.h"
#include "data/DocumentFile.h"
#include "data/RecordStream.h"

namespace tamisko {

std::vector<uint8_t> DocumentSnapshot(DataMod& data)
{
    ByteStream payload;
    WriteTableSnapshot(payload, data.CatTable, CatFieldNames());
    WriteTableSnapshot(payload, data.LogTable, LogFieldNames());
    FileCipher cipher;
    return EncodeDocument(payload, data.DocumentPassword, &cipher);
}

} // namespace tamisko
