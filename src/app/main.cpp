#include "app/TMainForm.h"
#include "app/ZimbranaApplication.h"

int main(int argc, char *argv[])
{
    ZimbranaApplication app(argc, argv);
    TMainForm window;
    window.show();
    return app.exec();
}
