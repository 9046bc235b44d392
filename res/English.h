// English texts of the program's own resource set, also used unchanged by the
// English language pack. See res/ResourceSet.rc.
#pragma once

#define PAGE_CAPTION_TEXT "KALDREN R530 Updater"
#define WIZARD_CAPTION_TEXT "Wizard"
#define NEXT_TEXT "Next"
#define FINISH_TEXT "Finish"
#define RETRY_TEXT "Retry"
#define PRESS_KEY_TEXT "Press 'VOLUME DOWN' key, then the update process will start automatically."
#define UPDATE_FAILED_TEXT                                                                         \
    "Update failed. Please make sure that Windows ActiveSync is installed and USB cable is connected."
#define CANCEL_TEXT "Cancel"

// Welcome page
#define WELCOME_TITLE_TEXT "Welcome to Kaldren Phone Load Updater"
#define WELCOME_BACKUP_TEXT                                                                        \
    "Before starting the update process, it is strongly recommended to backup all data in your phone."

// Getting-started page
#define STARTED_TITLE_TEXT "Getting started"
#define STARTED_POWER_OFF_TEXT "Please power off your phone first."
#define STARTED_KEYS_TEXT                                                                          \
    "Press 'CAMERA' + 'VOLUME DOWN' + 'POWER' keys at the same time to make the phone enter download mode."
#define STARTED_CONNECT_TEXT "Then connect your phone to your PC using the USB cable."

// Image file page
#define PREPARING_TITLE_TEXT "Preparing update"
#define PREPARING_SELECT_TEXT "Select Update File:"
#define PREPARING_BROWSE_TEXT "Browse"

// Notice page
#define NOTICE_TITLE_TEXT "Update notice"
#define NOTICE_STAY_CONNECTED_TEXT "Do not disconnect your phone from the PC during the update process."
#define NOTICE_PHONE_BUSY_TEXT "You will not be able to use your phone during the load update."

// Updating page
#define UPDATING_TITLE_TEXT "Updating the load"
#define UPDATING_STATUS_TEXT PRESS_KEY_TEXT
#define UPDATING_CABLE_TEXT "Do not disconnect the cable."
#define UPDATING_MODE_TEXT "Ensure your phone has entered download mode."
#define UPDATING_PROGRESS_LABEL_TEXT "Progress:"
#define UPDATING_PERCENT_TEXT "Static"

// Completion page
#define COMPLETE_TITLE_TEXT "Load update complete"
#define COMPLETE_DONE_TEXT                                                                         \
    "Your phone's load has been successfully updated. You can start using your phone now."
