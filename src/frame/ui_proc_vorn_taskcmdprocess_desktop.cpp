#include "ui_proc_vorn_taskcmdprocess_desktop.h"

UI_Proc_VORN_TaskCmdProcess_Desktop::UI_Proc_VORN_TaskCmdProcess_Desktop() = default;
