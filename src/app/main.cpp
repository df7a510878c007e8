#include <cstdio>

int main()
{
    std::puts("Exif Ovrel: the image metadata core is built; the main window is not there yet.");
    return 0;
}
