// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_APP 1
#define IDC_HAND_CURSOR 101
#define IDB_BACKGROUND 201
#define IDB_PRODUCT_LOGO 202
#define IDR_MAKER_LOGO 203
// The same pictures at twice the size, for screens above 96 dpi.
#define IDR_BACKGROUND_2X 301
#define IDR_PRODUCT_LOGO_2X 302
#define IDR_MAKER_LOGO_2X 303
