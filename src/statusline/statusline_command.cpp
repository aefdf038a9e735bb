#include "statusline/statusline_command.h"

#include "platform/std_streams.h"

int RunStatusLine() {
    WriteStandardOutput("Tidewell\n");
    return 0;
}
