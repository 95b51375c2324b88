FreqData                                ;Direct Freq Gen   JT4D   Ref 300.0MHz
    de  0x52, 0x7E, 0x10, 0xB4    ;  Tone 0  2320.0999414MHz
    de  0x52, 0x7E, 0x10, 0xCB    ;  Tone 1  2320.0999808MHz
    de  0x52, 0x7E, 0x10, 0xE3    ;  Tone 2  2320.1000201MHz
    de  0x52, 0x7E, 0x10, 0xFA    ;  Tone 3  2320.1000595MHz
    de  0x52, 0x7E, 0x10, 0xD7    ;  Tone 4  2320.1000000MHz
    de  0x52, 0x7E, 0x0E, 0xD0    ;  Tone 5  2320.0991300MHz
    de  0x52, 0x7E, 0x0F, 0xBE    ;  Tone 6  2320.0995300MHz
    de  0x52, 0x7E, 0x10, 0x36    ;  Tone 7  2320.0997300MHz
; Resolution  0.838Hz
; SSB Carrier, Tuning Point  2320.09873 MHz
