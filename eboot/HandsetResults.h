// Results of the virtual handset's entry point 11.
#pragma once

enum HandsetResult {
    kHandsetWritten = 1,      // the whole image was written and verified
    kHandsetImageMissing = 2, // the image file is missing or cannot be read
    kHandsetStopped = 3,      // the stop flag was set
    kHandsetNotConnected = 4, // no handset is connected
    kHandsetEmptyImage = 5,   // the image file is empty
    kHandsetWriteFailed = 6,  // the flash cannot be written or is too small
    kHandsetVerifyFailed = 7, // reading the flash back did not give the image
};
