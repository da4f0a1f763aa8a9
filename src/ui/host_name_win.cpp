#include "ui/host_name.h"

#include <winsock2.h>

AnsiText localHostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name) < 0)
        return {};
    name[sizeof name - 1] = '\0';
    return name;
}
