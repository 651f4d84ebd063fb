// The small program both sides of the command benchmark start: it prints a
// short Windows-shaped table, the size of a typical check's answer, and
// ends. Kept free of any library beyond the C runtime so that its own
// start-up is as short as a program's can be.

#include <cstdio>

int main()
{
    std::fputs("\r\n\r\nCaption           : Intel64 Family 6 Model 85 Stepping 7\r\n", stdout);
    for (int index = 0; index < 24; ++index)
        std::printf("Property%-10d: value %d of the small child, padded to a realistic width\r\n", index, index * 7);
    std::fputs("\r\n\r\n", stdout);
    return 0;
}
