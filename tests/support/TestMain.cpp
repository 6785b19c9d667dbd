#include "TestDsn.h"

#include <string>

#include <gtest/gtest.h>

#include <dlfcn.h>

int main(int argc, char** argv)
{
    // Keep the drivers mapped after the driver manager lets them go, so that a leak report can
    // name the module it comes from.
    for (const char* driver : {"libsqlite3odbc.so", "psqlodbca.so", "psqlodbcw.so"}) {
        std::string path = std::string("/usr/lib/x86_64-linux-gnu/odbc/") + driver;
        dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
    }
    testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests)) TestDsn::Prepare();
    return RUN_ALL_TESTS();
}
