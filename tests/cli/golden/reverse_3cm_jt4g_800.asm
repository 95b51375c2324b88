FreqData                                ;Reverse DDS   JT4G   Ref 10.0MHz
    de  0x06, 0x66, 0x66, 0x66    ;  Tone 0  9600.0000000MHz
    de  0x06, 0x66, 0x66, 0x63    ;  Tone 1  9600.0003150MHz
    de  0x06, 0x66, 0x66, 0x5F    ;  Tone 2  9600.0006300MHz
    de  0x06, 0x66, 0x66, 0x5C    ;  Tone 3  9600.0009450MHz
    de  0x06, 0x66, 0x66, 0x66    ;  Tone 4  9600.0000000MHz
    de  0x06, 0x66, 0x66, 0x6B    ;  Tone 5  9599.9996000MHz
    de  0x06, 0x66, 0x66, 0x66    ;  Tone 6  9600.0000000MHz
    de  0x06, 0x66, 0x66, 0x64    ;  Tone 7  9600.0002000MHz
; Resolution  44.703Hz
; SSB Carrier, Tuning Point  9599.9992 MHz
; Warning: Resolution too low for this mode
