#ifndef UI_PROC_VORN_TASKCMDPROCESS_DESKTOP_H
#define UI_PROC_VORN_TASKCMDPROCESS_DESKTOP_H

// The library's identity object; it carries no behaviour.
class UI_Proc_VORN_TaskCmdProcess_Desktop
{
public:
    UI_Proc_VORN_TaskCmdProcess_Desktop();
};

#endif // UI_PROC_VORN_TASKCMDPROCESS_DESKTOP_H
