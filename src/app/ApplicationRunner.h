#pragma once

#include <QString>

#include <cstdio>

// The counter itself, in the panel's executable: hands over to an instance already running,
// else starts the application and runs its event loop. Standard error hears why it cannot
// start; the panel's user, who may have no terminal, sees the same in an alert.
class ApplicationRunner {
public:
    explicit ApplicationRunner(FILE* err);

    // The process's exit status, as CommandLine's.
    int run(bool headless);

private:
    void reportStoreFailure(const QString& informativeText, bool headless);

    FILE* m_err;
};
