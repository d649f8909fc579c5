"""Which anchor points learn which box, and the loss.

Assignment (task-aligned): for each true box, the candidate points are those inside it or
within 1.5 strides of its centre; among them the `TOPK` with the best alignment
score^ALPHA * IoU^BETA of their current prediction become positives. A point claimed by
several boxes keeps the one its prediction overlaps most. Class targets are the alignment
normalised per box to that box's best IoU, so scores learn to follow box quality; the box
loss is 1 - GIoU weighted the same way.
"""
import torch
import torch.nn.functional as F

from .model import distances_to_boxes

TOPK = 10
ALPHA = 0.5
BETA = 6.0
BOX_WEIGHT = 5.0


def box_iou(a, b, eps=1e-7):
    """IoU of boxes a (... x 4) and b (... x 4), x1 y1 x2 y2, broadcast."""
    lt = torch.max(a[..., :2], b[..., :2])
    rb = torch.min(a[..., 2:], b[..., 2:])
    inter = (rb - lt).clamp(min=0).prod(-1)
    area_a = (a[..., 2:] - a[..., :2]).clamp(min=0).prod(-1)
    area_b = (b[..., 2:] - b[..., :2]).clamp(min=0).prod(-1)
    return inter / (area_a + area_b - inter + eps)


def generalised_iou(a, b, eps=1e-7):
    iou = box_iou(a, b, eps)
    lt = torch.min(a[..., :2], b[..., :2])
    rb = torch.max(a[..., 2:], b[..., 2:])
    hull = (rb - lt).clamp(min=0).prod(-1)
    lt_i = torch.max(a[..., :2], b[..., :2])
    rb_i = torch.min(a[..., 2:], b[..., 2:])
    inter = (rb_i - lt_i).clamp(min=0).prod(-1)
    union = inter / (iou + eps)
    return iou - (hull - union) / (hull + eps)


def pad_targets(targets, device=None):
    """List of n_i x 5 tensors -> B x M x 5 and a B x M mask of real rows."""
    m = max((len(t) for t in targets), default=0)
    padded = torch.zeros(len(targets), max(m, 1), 5, device=device)
    mask = torch.zeros(len(targets), max(m, 1), dtype=torch.bool, device=device)
    for i, t in enumerate(targets):
        if len(t):
            padded[i, :len(t)] = torch.as_tensor(t, dtype=torch.float32, device=device)
            mask[i, :len(t)] = True
    return padded, mask


@torch.no_grad()
def assign(scores, boxes, points, strides, gt, gt_mask):
    """Targets for one batch.

    scores B x A x C (probabilities), boxes B x A x 4 predicted, points A x 2, strides A,
    gt B x M x 5, gt_mask B x M. Returns (class targets B x A x C, box targets B x A x 4,
    foreground mask B x A)."""
    b, a, c = scores.shape
    gt_boxes = gt[..., 1:]
    gt_cls = gt[..., 0].long().clamp(0, c - 1)
    px, py = points[:, 0], points[:, 1]
    x1, y1, x2, y2 = (gt_boxes[..., i, None] for i in range(4))
    inside = (px > x1) & (px < x2) & (py > y1) & (py < y2)
    radius = 1.5 * strides
    near = (((x1 + x2) / 2 - px).abs() < radius) & (((y1 + y2) / 2 - py).abs() < radius)
    candidate = (inside | near) & gt_mask[..., None]

    iou = box_iou(gt_boxes[:, :, None, :], boxes[:, None, :, :])  # B x M x A
    cls_score = scores.gather(2, gt_cls[:, None, :].expand(b, a, -1)).transpose(1, 2)
    metric = cls_score.pow(ALPHA) * iou.pow(BETA) * candidate

    k = min(TOPK, a)
    top = metric.topk(k, dim=2).indices
    positive = torch.zeros_like(metric, dtype=torch.bool).scatter_(2, top, True)
    positive &= candidate & (metric > 0)

    # A point claimed by several boxes keeps the one it overlaps most.
    claimed = positive.sum(1) > 1
    if claimed.any():
        best = iou.masked_fill(~positive, -1).argmax(1)  # B x A
        only_best = F.one_hot(best, positive.shape[1]).transpose(1, 2).bool()
        positive = torch.where(claimed[:, None, :], only_best & positive, positive)
    foreground = positive.any(1)
    owner = positive.float().argmax(1)  # B x A

    metric = metric * positive
    best_metric = metric.amax(2, keepdim=True).clamp(min=1e-9)
    best_iou = (iou * positive).amax(2, keepdim=True)
    quality = (metric / best_metric * best_iou).amax(1)  # B x A

    owner_cls = gt_cls.gather(1, owner)
    cls_target = F.one_hot(owner_cls, c).float() * (quality * foreground)[..., None]
    box_target = gt_boxes.gather(1, owner[..., None].expand(-1, -1, 4))
    return cls_target, box_target, foreground


def detection_loss(logits, distances, points, strides, gt, gt_mask):
    """(total, class part, box part) for one batch of model outputs."""
    boxes = distances_to_boxes(points, distances)
    cls_target, box_target, foreground = assign(
        logits.detach().sigmoid(), boxes.detach(), points, strides, gt, gt_mask)
    norm = cls_target.sum().clamp(min=1.0)
    cls_loss = F.binary_cross_entropy_with_logits(logits, cls_target, reduction="sum") / norm
    if foreground.any():
        weight = cls_target.sum(-1)[foreground]
        giou = generalised_iou(boxes[foreground], box_target[foreground])
        box_loss = ((1.0 - giou) * weight).sum() / norm
    else:
        box_loss = distances.sum() * 0.0
    return cls_loss + BOX_WEIGHT * box_loss, cls_loss.detach(), box_loss.detach()
