#include "ODBCDiagnostics.h"

#include "Utf8Text.h"

#include <sqlext.h>

#include <vector>

namespace U_pub {

void GetDiagMessage(SQLSMALLINT handleType, SQLHANDLE handle, std::string& message)
{
    message.clear();
    // Read in one piece: some drivers hand out the rest of a cut message on the next call, so a
    // second read of the same record cannot be trusted to start at its beginning.
    constexpr SQLSMALLINT BufferSize = 32767;
    std::vector<SQLCHAR> buffer(BufferSize + 1);
    SQLCHAR state[6] = {};
    for (SQLSMALLINT record = 1;; ++record) {
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN rc = ::SQLGetDiagRec(handleType, handle, record, state, &native, buffer.data(), BufferSize, &length);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) break;
        buffer[BufferSize] = 0;
        message = Utf8Text::CutToBytes(reinterpret_cast<const char*>(buffer.data()), BufferSize - 1);
    }
}

} // namespace U_pub
