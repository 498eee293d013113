/* Resource types and ids of the companion library, shared by the saver and
   the library's build on both platforms. */
#ifndef CHRONOVALE_RESOURCE_IDS_H
#define CHRONOVALE_RESOURCE_IDS_H

#define CHRONOVALE_RESOURCE_TYPE_JPG "JPG"
#define IDR_OVERLAY_FONT_PICTURE 142
#define IDD_INTRODUCTION_PAGE 119
#define IDD_MUSIC_PAGE 196
#define IDD_STANDARD_CONTROLS_PAGE 2004
/* Linux: the type under which the settings pages are stored as GtkBuilder
   definitions, in the companion library and (page 105) in the saver. */
#define CHRONOVALE_RESOURCE_TYPE_PAGE "PAGE"

#endif
