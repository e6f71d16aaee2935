#include <QString>

#include <cstdio>

// The least a command built on Qt can cost: load Qt Core and its libraries, print one line,
// exit. bench/cli-status.sh measures it next to `lumatick status` as that figure's floor.
int main(int argc, char*[])
{
    std::puts(qPrintable(QString::number(argc)));
    return 0;
}
