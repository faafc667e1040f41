#include "benchmarkrun.h"

#include <QtCore/QCoreApplication>

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
