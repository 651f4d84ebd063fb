// Stands in for the program's main when the Windows-only files are linked on
// their own: it references what they provide, so the link proves that every
// system function they call resolves. The result is never run.

#include "archive/explorerselect.h"
#include "d3d12/d3d12probe.h"

int main(int argc, char *argv[])
{
    if (argc > 1 && argv[1][0] == 'x')
        return explorerselect::start(L"C:\\zziplog.zip") ? 0 : 1;
    return d3d12probe::probe().creationResult;
}
