/* Ids of the saver's own resources, shared by chronovale.rc and the code. The
   string 1 is the name the display settings list a saver under. */
#ifndef CHRONOVALE_SAVER_RESOURCE_IDS_H
#define CHRONOVALE_SAVER_RESOURCE_IDS_H

#define IDS_SAVER_DESCRIPTION 1
#define IDI_SAVER 100

#endif
