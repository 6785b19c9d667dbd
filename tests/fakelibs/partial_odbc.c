/* Exports a few ODBC entry names and lacks the rest, SQLExecDirect and SQLGetFunctions among them. */
typedef short SQLRETURN;
typedef void* SQLHANDLE;

SQLRETURN SQLAllocEnv(SQLHANDLE* env) { *env = (SQLHANDLE)1; return 0; }
SQLRETURN SQLAllocConnect(SQLHANDLE env, SQLHANDLE* dbc) { (void)env; *dbc = (SQLHANDLE)2; return 0; }
SQLRETURN SQLFreeEnv(SQLHANDLE env) { (void)env; return 0; }
/* Pending messages, handed out once each as SQLError does. */
static const char* const* pending;
static int pendingCount;

void tv_fake_set_messages(const char* const* messages, int count)
{
    pending = messages;
    pendingCount = count;
}

SQLRETURN SQLError(SQLHANDLE env, SQLHANDLE dbc, SQLHANDLE stmt, unsigned char* state, int* native,
                   unsigned char* message, short size, short* length)
{
    (void)env; (void)dbc; (void)stmt;
    if (pendingCount <= 0) return 100;
    const char* m = *pending++;
    --pendingCount;
    int n = 0;
    while (m[n]) ++n;
    int copy = n < size - 1 ? n : size - 1;
    for (int i = 0; i < copy; ++i) message[i] = (unsigned char)m[i];
    message[copy] = 0;
    state[0] = 'H'; state[1] = 'Y'; state[2] = '0'; state[3] = '0'; state[4] = '0'; state[5] = 0;
    *native = 0;
    *length = (short)n;
    return copy < n ? 1 : 0;
}
SQLRETURN SQLSetConnectAttr(SQLHANDLE dbc, int attribute, void* value, int length)
{
    (void)dbc; (void)attribute; (void)value; (void)length;
    return 0;
}
SQLRETURN SQLSetEnvAttr(SQLHANDLE env, int attribute, void* value, int length)
{
    (void)env; (void)attribute; (void)value; (void)length;
    return 0;
}
