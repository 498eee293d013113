/* Ids of the saver's own resources, shared by chronovale.rc and the code. The
   string 1 is the name the display settings list a saver under. */
#ifndef CHRONOVALE_SAVER_RESOURCE_IDS_H
#define CHRONOVALE_SAVER_RESOURCE_IDS_H

#define IDS_SAVER_DESCRIPTION 1
#define IDI_SAVER 100
#define IDB_INTRODUCTION_PICTURE 104
#define IDD_CUSTOM_CONTROLS_PAGE 105
#define IDD_FRAMEWORK_CONFIGURE 2003

#endif
