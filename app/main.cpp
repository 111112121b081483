// The program's entry: the application object for the whole run; its run's result is the
// exit code.
#include "application.h"

int AppMain(int, char*[]) {
    TwayfoldApp app;
    return app.Run();
}
