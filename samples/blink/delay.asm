; Delay: the busy wait between two steps of the blink loop.
delay
        NOP
        NOP
        NOP             ; return to the caller here
        END
