// Rewrites the weight file in the folder given as its one argument, for ever, alternating 60 and
// 68.5, and reports every finished write with one byte on standard output. The crash-safety test
// kills it at random moments and then looks at the file. Ends with status 1 if a write fails.

#include "store/datafiles.h"

#include <QDir>
#include <QString>

#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const morvane::DataFiles files{QDir(QString::fromLocal8Bit(argv[1]))};
    for (bool sixty = true;; sixty = !sixty) {
        if (files.writeNumber(morvane::kWeightFileName, sixty ? 60.0f : 68.5f))
            return 1;
        // Unbuffered, so that the test sees progress as it happens.
        if (::write(STDOUT_FILENO, "w", 1) != 1)
            return 1;
    }
}
