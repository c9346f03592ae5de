; Blink: the main loop of the sample project. It only idles for now,
; calling the delay routine of delay.asm between two steps.
start
        NOP             ; set up the port here
loop
        NOP             ; toggle the LED here
        NOP             ; wait: see delay.asm
        NOP
        END
