/* A program outside the project built against the installed headers and libraries. */
#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <stdio.h>
#include <string.h>

int main(void) {
    char revision[8] = {0};
    if (SensorDLL_Revision(revision) != 4 || strcmp(revision, "3.1") != 0) {
        fprintf(stderr, "unexpected library revision \"%s\"\n", revision);
        return 1;
    }
    /* A configuration without sections holds the default sensor. */
    if (rfsim_configure("") != 1) {
        fprintf(stderr, "simulator: %s\n", rfsim_error());
        return 1;
    }
    puts("consumer ok");
    return 0;
}
