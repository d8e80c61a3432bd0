#ifndef __WrenToolRun_H__
#define __WrenToolRun_H__

#include "TestEngine.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace Wren
{
    namespace Test
    {
        /** What one run of a built program printed, and its exit status. */
        struct ToolRun
        {
            int status = -1;
            std::string out;
            std::string errors;
        };

        /** Runs the program tools/<tool> of the build with arguments (shell
            words, quoted by the caller) in the folder cwd. */
        inline ToolRun runTool(const std::string& tool, const std::string& arguments,
                               const std::string& cwd, const std::string& environment = "")
        {
            const std::string folder = TestEngine::instance().makeTempFolder("tool-run");
            const std::string command = "cd '" + cwd + "' && " + environment + " '" +
                                        WREN_TEST_BINARY_DIR +
                                        "/tools/" + tool + "' " + arguments + " > '" + folder +
                                        "/out' 2> '" + folder + "/err'";
            ToolRun run;
            const int raw = std::system(command.c_str());
            run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            run.out = TestEngine::readFile(folder + "/out");
            run.errors = TestEngine::readFile(folder + "/err");
            return run;
        }
    }
}

#endif
